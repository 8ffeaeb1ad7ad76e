#include "commandline/command_message.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

#include "commandline/command_line.h"
#include "commandline/utf8_text.h"

namespace glimra {
namespace {

using ::testing::ElementsAre;
using ::testing::IsEmpty;
using ::testing::Optional;
using Bytes = std::vector<std::uint8_t>;
using Args = std::vector<std::string>;
using namespace std::string_literals;

std::optional<Args> Decode(const Bytes& bytes) {
    return DecodeArguments(bytes.data(), bytes.size());
}

std::optional<CommandAnswer> DecodeReply(const Bytes& bytes) {
    return DecodeAnswer(bytes.data(), bytes.size());
}

void PutUint32(Bytes& bytes, std::uint32_t value) {
    for (int shift = 0; shift < 32; shift += 8)
        bytes.push_back(static_cast<std::uint8_t>(value >> shift));
}

// A message built by hand: magic, count, then each (length, bytes) as given, so
// that lengths can disagree with the bytes.
Bytes Message(std::uint32_t count, const std::vector<std::pair<std::uint32_t, std::string>>& args,
              const std::string& magic = "GLIMRA1\0"s) {
    Bytes bytes(magic.begin(), magic.end());
    PutUint32(bytes, count);
    for (const auto& [length, text] : args) {
        PutUint32(bytes, length);
        bytes.insert(bytes.end(), text.begin(), text.end());
    }
    return bytes;
}

Bytes Reply(std::uint32_t code, std::uint32_t length, const std::string& text,
            const std::string& magic = "GLIMRA1A") {
    Bytes bytes(magic.begin(), magic.end());
    PutUint32(bytes, code);
    PutUint32(bytes, length);
    bytes.insert(bytes.end(), text.begin(), text.end());
    return bytes;
}

TEST(ArgumentMessage, HasTheLayoutOfMagicCountAndLengthPrefixedArguments) {
    Bytes expected = {'G', 'L', 'I', 'M', 'R', 'A', '1', 0,   2,   0,   0,   0,    //
                      8,   0,   0,   0,   '-', '-', 's', 'c', 'r', 'e', 'e', 'n',  //
                      0,   0,   0,   0};
    EXPECT_EQ(EncodeArguments({"--screen", ""}), expected);
    EXPECT_EQ(Message(2, {{8, "--screen"}, {0, ""}}), expected);
    // A length above 255 shows the byte order.
    Bytes long_ = EncodeArguments({std::string(0x1234, 'a')});
    EXPECT_THAT(Bytes(long_.begin() + 12, long_.begin() + 16), ElementsAre(0x34, 0x12, 0, 0));
}

TEST(ArgumentMessage, RoundTripsUpToItsLimits) {
    std::vector<Args> cases = {
        {},
        {""},
        {"--region", "-5,0,800,600", "--save", "C:\\Bilder\\Übersicht ☃ 😀.png"},
        Args(kMaxMessageArguments, "--copy"),
        // Exactly the largest message: header, one length and the bytes.
        {std::string(kMaxMessageBytes - 16, 'x')},
    };
    for (const Args& args : cases) {
        Bytes bytes = EncodeArguments(args);
        ASSERT_FALSE(bytes.empty()) << args.size();
        EXPECT_LE(bytes.size(), kMaxMessageBytes);
        EXPECT_THAT(Decode(bytes), Optional(args));
    }
}

TEST(ArgumentMessage, EncodingRefusesWhatTheReaderWouldRefuse) {
    EXPECT_THAT(EncodeArguments(Args(kMaxMessageArguments + 1, "a")), IsEmpty());
    EXPECT_THAT(EncodeArguments({std::string(kMaxMessageBytes - 15, 'x')}), IsEmpty());
    EXPECT_THAT(EncodeArguments({std::string(kMaxMessageBytes, 'x'), "a"}), IsEmpty());
    EXPECT_THAT(EncodeArguments({"--save", "a\0b.png"s}), IsEmpty());
    EXPECT_THAT(EncodeArguments({"--save", "\xFF.png"}), IsEmpty());
}

TEST(ArgumentMessage, EveryCutAndEveryExtraByteIsRefused) {
    Bytes bytes = EncodeArguments({"--screen", "--save", "é.png"});
    for (std::size_t size = 0; size < bytes.size(); ++size)
        EXPECT_EQ(DecodeArguments(bytes.data(), size), std::nullopt) << size;
    Bytes longer = bytes;
    longer.push_back(0);
    EXPECT_EQ(Decode(longer), std::nullopt);
    EXPECT_EQ(DecodeArguments(nullptr, 0), std::nullopt);
    EXPECT_EQ(DecodeArguments(nullptr, 12), std::nullopt);
}

TEST(ArgumentMessage, BadMagicCountsAndLengthsAreRefused) {
    Bytes good = Message(1, {{2, "-h"}});
    ASSERT_TRUE(Decode(good));
    for (std::size_t i = 0; i < 8; ++i) {
        Bytes bad = good;
        bad[i] ^= 0x20;
        EXPECT_EQ(Decode(bad), std::nullopt) << i;
    }
    EXPECT_EQ(Decode(Message(1, {{2, "-h"}}, "GLIMRA1A")), std::nullopt);  // an answer's magic

    // Counts that disagree with the arguments that follow.
    EXPECT_EQ(Decode(Message(2, {{2, "-h"}})), std::nullopt);
    EXPECT_EQ(Decode(Message(0, {{2, "-h"}})), std::nullopt);
    EXPECT_EQ(Decode(Message(0xFFFFFFFF, {{2, "-h"}})), std::nullopt);
    // More arguments than allowed, each of them well formed.
    std::vector<std::pair<std::uint32_t, std::string>> many(kMaxMessageArguments + 1, {1, "a"});
    EXPECT_EQ(Decode(Message(kMaxMessageArguments + 1, many)), std::nullopt);

    // Lengths that point past the end, or stop short of it.
    EXPECT_EQ(Decode(Message(1, {{3, "-h"}})), std::nullopt);
    EXPECT_EQ(Decode(Message(1, {{0xFFFFFFFF, "-h"}})), std::nullopt);
    EXPECT_EQ(Decode(Message(1, {{0x80000002, "-h"}})), std::nullopt);
    EXPECT_EQ(Decode(Message(1, {{1, "-h"}})), std::nullopt);
}

TEST(ArgumentMessage, OversizedMessagesAreRefusedEvenWhenWellFormed) {
    Bytes bytes = Message(1, {{kMaxMessageBytes - 15, std::string(kMaxMessageBytes - 15, 'x')}});
    ASSERT_EQ(bytes.size(), kMaxMessageBytes + 1);
    EXPECT_EQ(Decode(bytes), std::nullopt);
}

TEST(ArgumentMessage, NulBytesAndBrokenUtf8InsideArgumentsAreRefused) {
    for (const std::string& arg : {"a\0b"s, "\0"s, "ab\0"s, "\xC3"s, "\xC0\x80"s, "\xED\xA0\x80"s,
                                   "\xF4\x90\x80\x80"s, "\x80"s, "\xFE"s}) {
        EXPECT_EQ(
            Decode(Message(2, {{6, "--copy"}, {static_cast<std::uint32_t>(arg.size()), arg}})),
            std::nullopt);
    }
}

TEST(AnswerMessage, RoundTripsAndHasItsLayout) {
    EXPECT_EQ(EncodeAnswer(kExitBadUsage, "--pin: no"), Reply(2, 9, "--pin: no"));
    for (int code : {kExitDone, kExitCancelled, kExitBadUsage, kExitFailed}) {
        EXPECT_THAT(DecodeReply(EncodeAnswer(code, "Saved to C:\\Bilder\\é.png")),
                    Optional(CommandAnswer{code, "Saved to C:\\Bilder\\é.png"}));
    }
    std::string longest(kMaxAnswerTextBytes, 'x');
    EXPECT_THAT(DecodeReply(EncodeAnswer(kExitDone, longest)),
                Optional(CommandAnswer{kExitDone, longest}));
}

TEST(AnswerMessage, EncodingMakesAnyAnswerReadable) {
    // Unknown codes are failures; bad bytes are shown as "?".
    EXPECT_THAT(DecodeReply(EncodeAnswer(-1, "")), Optional(CommandAnswer{kExitFailed, ""}));
    EXPECT_THAT(DecodeReply(EncodeAnswer(4, "")), Optional(CommandAnswer{kExitFailed, ""}));
    EXPECT_THAT(DecodeReply(EncodeAnswer(kExitFailed, "a\0b\xFF\xC3"s)),
                Optional(CommandAnswer{kExitFailed, "a?b??"}));

    // A long text is cut to the limit, and before a character that does not fit.
    std::string accents = "a";
    while (accents.size() < kMaxAnswerTextBytes + 10)
        accents += "é";
    std::optional<CommandAnswer> cut = DecodeReply(EncodeAnswer(kExitDone, accents));
    ASSERT_TRUE(cut);
    EXPECT_EQ(cut->text.size(), kMaxAnswerTextBytes - 1);
    EXPECT_EQ(cut->text, accents.substr(0, kMaxAnswerTextBytes - 1));
}

TEST(AnswerMessage, MalformedAnswersAreRefused) {
    Bytes good = Reply(1, 2, "ok");
    ASSERT_TRUE(DecodeReply(good));
    for (std::size_t size = 0; size < good.size(); ++size)
        EXPECT_EQ(DecodeAnswer(good.data(), size), std::nullopt) << size;
    Bytes longer = good;
    longer.push_back('!');
    EXPECT_EQ(DecodeReply(longer), std::nullopt);

    EXPECT_EQ(DecodeReply(Reply(1, 2, "ok", "GLIMRA1\0"s)), std::nullopt);  // arguments' magic
    EXPECT_EQ(DecodeReply(Reply(4, 2, "ok")), std::nullopt);
    EXPECT_EQ(DecodeReply(Reply(0xFFFFFFFF, 2, "ok")), std::nullopt);
    EXPECT_EQ(DecodeReply(Reply(1, 3, "ok")), std::nullopt);
    EXPECT_EQ(DecodeReply(Reply(1, 0xFFFFFFFF, "ok")), std::nullopt);
    EXPECT_EQ(DecodeReply(Reply(1, 2, "o\0"s)), std::nullopt);
    EXPECT_EQ(DecodeReply(Reply(1, 2, "\xC3("s)), std::nullopt);
    std::string tooLong(kMaxAnswerTextBytes + 1, 'x');
    EXPECT_EQ(DecodeReply(Reply(1, static_cast<std::uint32_t>(tooLong.size()), tooLong)),
              std::nullopt);
}

TEST(Utf8Text, AcceptsExactlyTheWellFormedSequences) {
    for (const std::string& good :
         {""s, "a\x7F"s, "\xC2\x80"s, "\xDF\xBF"s, "\xE0\xA0\x80"s, "\xED\x9F\xBF"s,
          "\xEE\x80\x80"s, "\xEF\xBF\xBF"s, "\xF0\x90\x80\x80"s, "\xF4\x8F\xBF\xBF"s}) {
        EXPECT_TRUE(IsUtf8(good)) << good;
    }
    // Overlong forms, surrogates, above U+10FFFF, lone and missing continuations.
    for (const std::string& bad :
         {"\xC0\xAF"s, "\xC1\xBF"s, "\xE0\x9F\xBF"s, "\xF0\x8F\xBF\xBF"s, "\xED\xA0\x80"s,
          "\xED\xBF\xBF"s, "\xF4\x90\x80\x80"s, "\xF5\x80\x80\x80"s, "\xFF"s, "\x80"s, "a\xE2\x82"s,
          "\xE2\x28\xA1"s, "\xF0\x90\x80"s}) {
        EXPECT_FALSE(IsUtf8(bad)) << testing::PrintToString(bad);
    }
}

TEST(Utf8Text, CutsOnlyBetweenCharacters) {
    const std::string text = "a€b";  // € is three bytes
    EXPECT_EQ(CutUtf8(text, 10), text);
    EXPECT_EQ(CutUtf8(text, 4), "a€");
    EXPECT_EQ(CutUtf8(text, 3), "a");
    EXPECT_EQ(CutUtf8(text, 0), "");
    EXPECT_EQ(CutUtf8("€", 2), "");
}

}  // namespace
}  // namespace glimra
