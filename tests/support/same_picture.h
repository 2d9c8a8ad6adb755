#pragma once

#include <gtest/gtest.h>

#include <QImage>

// Whether two pictures hold the same pixels, compared exactly in premultiplied form.
//
// Straight (unpremultiplied) colours of semi-transparent pixels depend on the processor that
// made them: the toolkit unpremultiplies with vector code that rounds differently from its
// scalar code, so a committed image and a fresh drawing may differ by one step in one
// channel on another machine. Premultiplying is exact everywhere, and premultiplying the
// result of an unpremultiply gives back the value it came from, so this form is the same on
// every x86-64 machine. There is no tolerance: a drawing that changes by one step must fail.
::testing::AssertionResult samePicture(const QImage &actual, const QImage &expected);
