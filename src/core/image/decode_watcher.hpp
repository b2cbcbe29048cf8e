// Dimora3 — fractal dimension by box counting.
// SPDX-License-Identifier: MIT
#pragma once

// What a decoder tells about a bitmap while it writes it, so that another
// thread can work on the rows already written, and what that thread waits on
// before it reads a row. Rows are written from the top (row 0) down.

#include "core/image/bitmap.hpp"

#include <cstdint>

namespace dimora {

class DecodeWatcher {
public:
    virtual ~DecodeWatcher() = default;
    // The bitmap's memory exists with its final size and layout and none of
    // its rows is written yet. The pixel memory stays where it is until the
    // decoded bitmap is destroyed; the layout the view points to does not
    // outlive the call, so keep a copy of it.
    virtual void started(const ImageView& view) = 0;
    // Rows 0 .. rows − 1 are written and will not change.
    virtual void rowsWritten(std::int32_t rows) noexcept = 0;
    // The decoding failed and the bitmap's memory goes when this returns:
    // return only once no other thread reads its rows any more.
    virtual void abandoned() noexcept = 0;
};

// Thrown by RowGate::waitForRow when the decoding failed before the row was
// written: the reader reads no row any more and lets it end its work. It
// carries nothing; the decoding's own error is what the user reads, and the
// one who started the decoding gives it.
struct RowsAbandoned {};

// What a reader that follows a decoder waits on before it reads a row (rows
// are read in increasing order).
class RowGate {
public:
    virtual ~RowGate() = default;
    // Returns once row `row` is written and may be read; throws RowsAbandoned
    // when the decoding failed first.
    virtual void waitForRow(std::int32_t row) = 0;
};

// Calls the watcher's abandoned() when it goes out of scope, unless the
// decoding kept its bitmap. Declared after the bitmap, so that it goes first.
class AbandonUnlessKept {
public:
    explicit AbandonUnlessKept(DecodeWatcher* watcher) : watcher_(watcher) {}
    ~AbandonUnlessKept()
    {
        if (watcher_)
            watcher_->abandoned();
    }
    AbandonUnlessKept(const AbandonUnlessKept&) = delete;
    AbandonUnlessKept& operator=(const AbandonUnlessKept&) = delete;

    void keep() { watcher_ = nullptr; }

private:
    DecodeWatcher* watcher_;
};

}  // namespace dimora
