#include "app/Shutter.h"

#include <mmsystem.h>

#include <cstdint>
#include <cstring>

#include "ui/TApplication.h"
#include "win/SystemFunction.h"

namespace {

std::uint32_t Le32(const std::uint8_t* p) {
    return p[0] | p[1] << 8 | p[2] << 16 | std::uint32_t(p[3]) << 24;
}

}  // namespace

DWORD ShutterMilliseconds(HMODULE module) {
    HRSRC info = ::FindResourceA(module, "camera", "WAVE");
    const auto* p =
        info ? static_cast<const std::uint8_t*>(::LockResource(::LoadResource(module, info)))
             : nullptr;
    const DWORD size = info ? ::SizeofResource(module, info) : 0;
    if (!p || size < 12) return 0;
    // Walk the chunks for the byte rate and the length of the samples.
    std::uint32_t byteRate = 0, dataBytes = 0;
    for (DWORD at = 12; at + 8 <= size;) {
        const std::uint32_t length = Le32(p + at + 4);
        if (std::memcmp(p + at, "fmt ", 4) == 0 && length >= 16 && at + 8 + 12 <= size)
            byteRate = Le32(p + at + 8 + 8);
        if (std::memcmp(p + at, "data", 4) == 0) dataBytes = length;
        at += 8 + length + (length & 1);
    }
    return byteRate ? DWORD(std::uint64_t(dataBytes) * 1000 / byteRate) : 0;
}

void PlayShutter(DWORD hiddenAt) {
    static const auto playSound =
        win::SystemFunction<decltype(::PlaySoundA)>("winmm.dll", "PlaySoundA");
    playSound("camera", ui::Application->Instance(), SND_RESOURCE);
    // Until the sound's length has passed since the hide, by the same clock:
    // a sleep can end a little before the tick count has moved on.
    const DWORD length = ShutterMilliseconds(ui::Application->Instance());
    for (DWORD left; (left = ShutterWaitLeft(hiddenAt, ::GetTickCount(), length)) != 0;)
        ::Sleep(left);
}

DWORD ShutterWaitLeft(DWORD hiddenAt, DWORD now, DWORD length) {
    const DWORD passed = now - hiddenAt;
    return passed < length ? length - passed : 0;
}
