#pragma once

// Checks that each control of a window stands where its layout puts it. A
// missing control is a fatal failure: wrap the call in ASSERT_NO_FATAL_FAILURE.
#include <cstdint>
#include <initializer_list>
#include <memory>

#include <gtest/gtest.h>

#include "platform/RectControl.h"

struct ExpectedFrame {
    std::shared_ptr<fw::RectControl> Control;
    int32_t Left, Top, Width, Height, TabIndex;
};

inline void ExpectFrames(std::initializer_list<ExpectedFrame> frames)
{
    for (const auto& f : frames) {
        ASSERT_TRUE(f.Control);
        EXPECT_EQ(f.Control->Left(), f.Left) << f.Control->Name();
        EXPECT_EQ(f.Control->Top(), f.Top) << f.Control->Name();
        EXPECT_EQ(f.Control->Width(), f.Width) << f.Control->Name();
        EXPECT_EQ(f.Control->Height(), f.Height) << f.Control->Name();
        EXPECT_EQ(f.Control->TabIndex(), f.TabIndex) << f.Control->Name();
    }
}
