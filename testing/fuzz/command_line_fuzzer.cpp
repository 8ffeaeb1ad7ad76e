// Feeds arbitrary bytes to the readers of the messages between two copies of the
// program and to the command-line reader, and checks what must hold for any
// input: a message that reads encodes back to the same bytes, every answer the
// encoder makes reads back, and the command-line reader gives either a command or
// a one-line error that is valid UTF-8.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>
#include <vector>

#include "commandline/command_line.h"
#include "commandline/command_message.h"
#include "commandline/utf8_text.h"

namespace {

void Require(bool condition) {
    if (!condition) std::abort();
}

void CheckParse(const std::vector<std::string>& args) {
    glimra::CommandLineResult result = glimra::ParseCommandLine(args);
    Require(result.command.has_value() == result.error.empty());
    if (result.command) {
        const glimra::Command& command = *result.command;
        Require(command.help || command.openPath || command.capture != glimra::CaptureKind::None);
        Require(command.delaySeconds >= 0 && command.delaySeconds <= glimra::kMaxDelaySeconds);
        if (command.area) Require(command.area->width >= 1 && command.area->height >= 1);
        return;
    }
    // Every argument shown is cut short, so an error stays small whatever it quotes.
    Require(result.error.size() < 400);
    Require(result.error.find_first_of(std::string_view("\0\r\n", 3)) == std::string::npos);
    bool allUtf8 = true;
    for (const std::string& arg : args)
        allUtf8 = allUtf8 && glimra::IsUtf8(arg);
    if (allUtf8) Require(glimra::IsUtf8(result.error));
}

// The bytes as a command line of their own: arguments split at NUL bytes, so
// that the reader sees far more lines than pass the message format.
std::vector<std::string> SplitAtNul(std::string_view text) {
    std::vector<std::string> args;
    std::size_t start = 0;
    for (std::size_t end; (end = text.find('\0', start)) != std::string_view::npos;
         start = end + 1) {
        args.emplace_back(text.substr(start, end - start));
    }
    if (start < text.size()) args.emplace_back(text.substr(start));
    return args;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* bytes, std::size_t size) {
    static const bool helped = !glimra::HelpText().empty();
    Require(helped);

    if (auto args = glimra::DecodeArguments(bytes, size)) {
        Require(args->size() <= glimra::kMaxMessageArguments);
        Require(glimra::EncodeArguments(*args) == std::vector<std::uint8_t>(bytes, bytes + size));
        CheckParse(*args);
    }
    if (auto answer = glimra::DecodeAnswer(bytes, size)) {
        Require(answer->exitCode >= glimra::kExitDone && answer->exitCode <= glimra::kExitFailed);
        Require(glimra::EncodeAnswer(answer->exitCode, answer->text) ==
                std::vector<std::uint8_t>(bytes, bytes + size));
    }

    std::string_view text(reinterpret_cast<const char*>(bytes), size);
    std::vector<std::uint8_t> reply =
        glimra::EncodeAnswer(size > 0 ? static_cast<int>(bytes[0]) - 8 : 0, text);
    Require(glimra::DecodeAnswer(reply.data(), reply.size()).has_value());

    std::vector<std::string> args = SplitAtNul(text);
    CheckParse(args);
    std::vector<std::uint8_t> message = glimra::EncodeArguments(args);
    if (!message.empty()) {
        Require(glimra::DecodeArguments(message.data(), message.size()) == args);
    }
    return 0;
}
