// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>
#include <algorithm>
#include <cerrno>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <type_traits>

#include "storage/LargeBlock.h"
#include "storage/StorageError.h"

// Raised when the record block cannot be allocated. The message is the one the user reads.
class ReportMemoryError : public QuorvelError {
public:
    using QuorvelError::QuorvelError;
};

// The growable record array of the reports: records of one fixed size back to back in one block, with a
// cursor. Capacity grows and shrinks in steps of 100 records; new records are zero-filled; records are
// moved bytewise, so Rec must be trivially copyable (anything a record owns is its owner's to release).
//
// The cursor variable (`outeraobj`), when given, is written whenever the cursor is positioned or cleared,
// so two arrays may share one variable; it then points into whichever array positioned last. The
// iteration idiom is First(), then `while (WhileNext())`, reading the record through the cursor variable.
template <typename Rec>
class TDynaArray {
    static_assert(std::is_trivially_copyable_v<Rec>, "records are copied bytewise");

public:
    explicit TDynaArray(Rec** typpoi = nullptr) : outeraobj(typpoi) {}
    ~TDynaArray() { LargeBlock::release(poi); }
    TDynaArray(const TDynaArray&) = delete;
    TDynaArray& operator=(const TDynaArray&) = delete;

    Rec* GetObject(std::uint32_t index) {
        position(static_cast<std::int32_t>(index));
        return aobj;
    }

    Rec* Add() {
        ++count;
        if (!AllocMoreMem()) std::memset(static_cast<void*>(poi + (count - 1)), 0, size);
        position(static_cast<std::int32_t>(count - 1));
        return aobj;
    }

    // Appends n zero-filled records in one step, the block taken once for all of them; the cursor is on
    // the last of them, as after Add. For a report that knows how many records it makes before it makes
    // them.
    void AddZeroed(std::uint32_t n) {
        if (n == 0) return;
        const std::uint64_t steps = (std::uint64_t(count) + n + buffersize - 1) / buffersize;
        if (steps * buffersize * size > UINT32_MAX) throw ReportMemoryError(memoryMessage(poi ? 2 : 1, UINT32_MAX));
        const std::uint32_t before = count;
        const std::uint32_t oldSize = amemsize;
        count += n;
        growTo(neededSize(), before);
        // Room of the old block may still hold deleted records.
        const std::size_t oldEnd = std::min<std::size_t>(oldSize, std::size_t(count) * size);
        if (oldEnd > std::size_t(before) * size)
            std::memset(static_cast<void*>(poi + before), 0, oldEnd - std::size_t(before) * size);
        position(static_cast<std::int32_t>(count - 1));
    }

    Rec* Insert(std::int64_t nr) {
        if (nr < 0 || nr > count) return nullptr;
        ++count;
        AllocMoreMem();
        const auto at = static_cast<std::uint32_t>(nr);
        std::memmove(static_cast<void*>(poi + at + 1), poi + at, std::size_t(count - 1 - at) * size);
        std::memset(static_cast<void*>(poi + at), 0, size);
        position(static_cast<std::int32_t>(at));
        return aobj;
    }

    void Delete(std::int64_t nr) {
        if (nr < 0 || nr >= count) return;
        const auto at = static_cast<std::uint32_t>(nr);
        std::memmove(static_cast<void*>(poi + at), poi + at + 1, std::size_t(count - 1 - at) * size);
        --count;
        AllocLessMem();
        clearCursor();
    }

    void Change(std::int64_t nr1, std::int64_t nr2) {
        if (nr1 < 0 || nr1 >= count || nr2 < 0 || nr2 >= count) return;
        Rec temp;
        std::memcpy(static_cast<void*>(&temp), poi + nr1, size);
        std::memmove(static_cast<void*>(poi + nr1), poi + nr2, size);
        std::memcpy(static_cast<void*>(poi + nr2), &temp, size);
        position(static_cast<std::int32_t>(nr2));
    }

    void Clear() {
        count = 0;
        LargeBlock::release(poi);
        poi = nullptr;
        amemsize = 0;
        clearCursor();
    }

    void First() {
        if (count > 0) position(0);
    }

    bool Next() {
        if (count == 0 || aobjnr < -1 || aobjnr >= std::int64_t(count) - 1) return false;
        position(aobjnr + 1);
        return true;
    }

    bool WhileNext() {
        if (count == 0 || aobjnr < 0 || aobjnr > std::int64_t(count) - 1) return false;
        position(aobjnr);
        ++aobjnr;
        return true;
    }

    // Read-only views of the container's state.
    std::uint32_t Count() const { return count; }
    std::int32_t CurrentIndex() const { return aobjnr; }
    Rec* Current() const { return aobj; }
    std::uint32_t MemSize() const { return amemsize; }
    static constexpr std::uint32_t BufferSize() { return 100; }
    static constexpr std::uint32_t RecordSize() { return sizeof(Rec); }
    // Record i without moving the cursor (0 <= i < Count()).
    const Rec& at(std::uint32_t i) const { return poi[i]; }
    Rec& at(std::uint32_t i) { return poi[i]; }

private:
    Rec** outeraobj = nullptr;
    Rec* aobj = nullptr;
    Rec* poi = nullptr;
    std::uint32_t count = 0;
    std::int32_t aobjnr = -1;
    std::uint32_t amemsize = 0;
    static constexpr std::uint32_t buffersize = 100;
    static constexpr std::uint32_t size = sizeof(Rec);

    std::uint32_t neededSize() const {
        const std::uint64_t steps = (std::uint64_t(count) + buffersize - 1) / buffersize;
        return static_cast<std::uint32_t>(steps * buffersize * size);
    }

    void position(std::int32_t i) {
        aobjnr = i;
        aobj = poi + i;
        if (outeraobj) *outeraobj = aobj;
    }

    void clearCursor() {
        aobjnr = -1;
        aobj = nullptr;
        if (outeraobj) *outeraobj = nullptr;
    }

    static QString memoryMessage(int code, std::uint32_t bytes) {
        return QStringLiteral("Error %1 while trying to allocate %2 bytes of RAM. Not enough memory.")
            .arg(code)
            .arg(bytes);
    }

    // Called after count rose. True when the block was replaced by a larger one. The larger block keeps the
    // old bytes and is zero beyond them; a heap block grows with realloc, which can often grow it in place,
    // and a block of the pool (from 2 MB) in steps of 2 MB, so that a pass over n bookings does not copy the
    // whole array n / 100 times.
    bool AllocMoreMem() {
        const std::uint32_t needed = neededSize();
        if (needed <= amemsize) return false;
        growTo(needed, count - 1);
        return true;
    }

    // A block of `needed` bytes (more than now) that keeps the old bytes and is zero beyond them. When it
    // cannot be had, the old block stays untouched with every record, count goes back to `countBefore`,
    // and the user reads why.
    void growTo(std::uint32_t needed, std::uint32_t countBefore) {
        if (needed <= amemsize) return;
        errno = 0;
        auto* block = static_cast<Rec*>(LargeBlock::reallocate(poi, amemsize, needed));
        if (!block) {
            const int osError = errno ? errno : ENOMEM;
            count = countBefore;
            QString text = memoryMessage(poi ? 2 : 1, needed);
            if (poi) text += QString::number(osError);
            throw ReportMemoryError(text);
        }
        std::memset(reinterpret_cast<char*>(block) + amemsize, 0, needed - amemsize);
        poi = block;
        amemsize = needed;
    }

    // Called after count fell. The records that remain keep their bytes.
    void AllocLessMem() {
        const std::uint32_t needed = neededSize();
        if (needed == amemsize) return;
        if (count == 0) {
            LargeBlock::release(poi);
            poi = nullptr;
            amemsize = 0;
            return;
        }
        auto* block = static_cast<Rec*>(LargeBlock::reallocate(poi, needed, needed));
        if (!block) throw ReportMemoryError(memoryMessage(3, needed));  // the larger block stays in use
        poi = block;
        amemsize = needed;
    }
};
