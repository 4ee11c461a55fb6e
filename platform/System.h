#pragma once

#include <cstdint>
#include <memory>
#include <string>

#include "platform/Object.h"

namespace fw {

// The keyboard's current state. Key codes are the classic Mac virtual key
// codes (123 left arrow, 124 right arrow). Option is Alt and Control is Ctrl
// on Linux.
namespace Keyboard {
bool AsyncKeyDown(int32_t code);
bool AsyncOptionKey();
bool AsyncControlKey();
// Tests and the event layer: records a key as down or up.
void SetKeyDown(int32_t code, bool down);
void SetModifiers(bool option, bool control);
void ResetState();
// The classic Mac virtual key code of a Qt key (Qt::Key value), -1 when none.
int32_t MacKeyCodeForQtKey(int qtKey);
// The Qt key (Qt::Key value) of a classic Mac virtual key code, 0 when none.
int QtKeyForMacKeyCode(int32_t code);
}

class Screen : public Object {
public:
    explicit Screen(int32_t index = 0) : m_index(index) {}
    std::string ClassName() const override { return "Screen"; }
    int32_t Left() const;
    int32_t Top() const;
    int32_t Width() const;
    int32_t Height() const;
    // The usable area, without panels.
    int32_t AvailableLeft() const;
    int32_t AvailableTop() const;
    int32_t AvailableWidth() const;
    int32_t AvailableHeight() const;

private:
    int32_t m_index;
};
// Screen 0 is the primary screen; raises OutOfBoundsException for others
// that do not exist.
std::shared_ptr<Screen> GetScreen(int32_t index);

class SoundImpl;

// A loaded sound. Play starts it and returns; two sounds may overlap.
class Sound : public Object {
public:
    explicit Sound(std::unique_ptr<SoundImpl> impl);
    ~Sound() override;
    std::string ClassName() const override { return "Sound"; }
    void Play();
    const std::string& Path() const;

private:
    std::unique_ptr<SoundImpl> m_impl;
};

// Hands the link to the desktop (browser or mail client). Only web addresses
// (IsWebURL) and mailto links are handed over; anything else is ignored.
void ShowURL(const std::string& url);
// Whether ShowURL would hand this link to the desktop.
bool IsOpenableURL(const std::string& url);
// Whether `url` is an absolute http or https address with a host, as a
// strict reading of its text finds it: the one test of a web address, so a
// program that decides to open an address with ShowURL knows it will be
// opened. Links from a downloaded document must pass it, since anything else
// (file:, javascript:, a custom handler, a relative path, an address that
// browsers read differently from how it looks) must not reach the desktop. A
// host written in Unicode passes, as browsers open it, and goes to the
// desktop in its ASCII form.
bool IsWebURL(const std::string& url);
// The desktop's alert.
void Beep();

// The current date and time, formatted by the user's locale.
class Date : public Object {
public:
    Date();
    std::string ClassName() const override { return "Date"; }
    std::string ShortTime() const;
    std::string ShortDate() const;
    // The moment it stands for, in milliseconds since 1970 (UTC).
    int64_t MillisecondsSinceEpoch() const { return m_msecsSinceEpoch; }

private:
    int64_t m_msecsSinceEpoch;
};

} // namespace fw
