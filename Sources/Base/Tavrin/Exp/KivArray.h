#pragma once

#include "KivAssert.h"
#include "KivMemoryControllerController.h"

#include <climits>
#include <cstring>
#include <new>
#include <type_traits>
#include <utility>

class KivString;

// Whether an element may move to another address by its bytes alone, the old
// copy then being forgotten without its destructor: true for trivially
// copyable types and for types declared so (a string is one pointer).
template <class T>
struct KivRelocatable : std::is_trivially_copyable<T>
{
};
template <>
struct KivRelocatable<KivString> : std::true_type
{
};

// Obtains and returns element blocks through the base library's allocator.
template <class T>
struct KivArrayMemoryController
{
    static T* allocate(int count)
    {
        // NOLINTNEXTLINE(bugprone-sizeof-expression): T may be a pointer
        return reinterpret_cast<T*>(KivMemoryControllerController::allocateArray(count, sizeof(T)));
    }
    // The block resized to `count` elements, its bytes kept (a large one is
    // remapped rather than copied); null, the old block untouched, on failure.
    static T* reallocate(T* block, int count)
    {
        return reinterpret_cast<T*>(KivMemoryControllerController::reallocateArray(
            reinterpret_cast<unsigned char*>(block), count, sizeof(T))); // NOLINT(bugprone-sizeof-expression)
    }
    static void deallocate(T* block)
    {
        unsigned char* raw = reinterpret_cast<unsigned char*>(block);
        KivMemoryControllerController::deallocateArray(raw);
    }
};

// Moves contents into a new block by assigning element after element.
template <class T>
struct KivArrayObjectCopyReallocator
{
    static void copy(T* target, const T* source, int count)
    {
        for (int i = 0; i < count; ++i) {
            target[i] = source[i];
        }
    }
};

// A growable array whose block holds constructed elements only. Growth is
// geometric (at least doubling, in multiples of growBy), so appending n
// elements costs O(n) copies.
template <class T, class Reallocator = KivArrayObjectCopyReallocator<T>,
          class MemoryController = KivArrayMemoryController<T>>
class KivArray
{
public:
    KivArray() = default;
    // Copies every element; std::bad_alloc when no block can be had.
    KivArray(const KivArray& other)
    {
        try {
            *this = other;
        } catch (...) {
            clear(); // no destructor runs for a constructor that throws
            throw;
        }
    }
    // Takes over `other`'s block; `other` is left empty. Never throws.
    KivArray(KivArray&& other) noexcept { swap(other); }
    ~KivArray() { clear(); }

    // Takes over `other`'s block and frees the old one; `other` is left empty.
    KivArray& operator=(KivArray&& other) noexcept
    {
        if (this != &other) {
            clear();
            swap(other);
        }
        return *this;
    }

    // Exchanges the contents of two arrays. Never throws.
    void swap(KivArray& other) noexcept
    {
        std::swap(length, other.length);
        std::swap(physicalLength, other.physicalLength);
        std::swap(growBy, other.growBy);
        std::swap(pElements, other.pElements);
    }

    // cppcheck-suppress operatorEqVarError ; growBy is a setting, not part of the contents
    KivArray& operator=(const KivArray& other)
    {
        if (this == &other) {
            return *this;
        }
        setLength(0);
        // One block for the whole copy; no block: a copy must not come out shorter.
        if (other.length > physicalLength && !reallocate(grownPhysicalLength(other.length))) {
            throw std::bad_alloc();
        }
        for (int i = 0; i < other.length; ++i) {
            pElements[i] = other.pElements[i];
            length = i + 1;
        }
        return *this;
    }

    int getLength() const { return length; }
    int getPhysicalLength() const { return physicalLength; }
    int getGrowBy() const { return growBy; }

    bool isValid(int index) const { return index >= 0 && index < length && pElements != nullptr; }

    // An index outside the array is reported and answered with a spare element.
    T& operator[](int index)
    {
        if (!isValid(index)) {
            KIV_REPORT("isValid( index )");
            return spare();
        }
        return pElements[index];
    }
    const T& operator[](int index) const
    {
        if (!isValid(index)) {
            KIV_REPORT("isValid( index )");
            return spare();
        }
        return pElements[index];
    }

    // Stores `value` at the end; the index, or -1 when the array could not grow.
    int append(const T& value)
    {
        const int index = length;
        if (index == INT_MAX) {
            return -1;
        }
        setAtGrow(index, value);
        return length == index + 1 ? index : -1;
    }

    void setAtGrow(int index, const T& value)
    {
        if (index >= 0 && index < length) {
            pElements[index] = value;
            return;
        }
        if (index < 0 || index == INT_MAX) {
            KIV_REPORT("isValid( index )");
            return;
        }
        // NOLINTNEXTLINE(performance-unnecessary-copy-initialization): `value` may live in this array
        T copy(value);
        setLength(index + 1);
        if (index < length) {
            pElements[index] = copy;
        }
    }

    void setLength(int len)
    {
        if (len < 0) {
            KIV_REPORT("len>=0");
            return;
        }
        if (len > physicalLength) {
            if (!reallocate(grownPhysicalLength(len))) {
                return;
            }
        }
        length = len;
    }

    void setPhysicalLength(int newPhysicalLen)
    {
        if (newPhysicalLen < 0) {
            KIV_REPORT("newPhysicalLen >= 0");
            return;
        }
        if (newPhysicalLen <= physicalLength &&
            static_cast<double>(newPhysicalLen) > 0.75 * static_cast<double>(physicalLength)) {
            return;
        }
        if (pElements == nullptr && newPhysicalLen == 0) {
            return;
        }
        if (newPhysicalLen == 0) {
            clear();
            return;
        }
        reallocate(newPhysicalLen);
    }

    // Destroys every element and frees the block.
    void clear()
    {
        destroy(pElements, physicalLength);
        pElements = nullptr;
        length = 0;
        physicalLength = 0;
    }

private:
    // With the default policy, elements whose moves cannot throw are moved into
    // a grown block rather than default-made and assigned: the same values, no copies.
    static constexpr bool kMovesOnGrowth =
        std::is_same<Reallocator, KivArrayObjectCopyReallocator<T>>::value &&
        std::is_nothrow_move_constructible<T>::value;
    // With both default policies, a growing block of relocatable elements is
    // resized in place: the elements keep their bytes, only new slots are made.
    static constexpr bool kRelocatesOnGrowth =
        std::is_same<Reallocator, KivArrayObjectCopyReallocator<T>>::value &&
        std::is_same<MemoryController, KivArrayMemoryController<T>>::value && KivRelocatable<T>::value;

    static T& spare()
    {
        static thread_local T element;
        element = T();
        return element;
    }

    // The smallest multiple of growBy that holds `needed` and at least doubles the block.
    int grownPhysicalLength(int needed) const
    {
        long long target = static_cast<long long>(physicalLength) * 2;
        if (target < needed) {
            target = needed;
        }
        const long long step = growBy > 0 ? growBy : 1;
        target = (target + step - 1) / step * step;
        if (target > INT_MAX) {
            target = needed;
        }
        return static_cast<int>(target);
    }

    static void destroy(T* block, int count)
    {
        if (block == nullptr) {
            return;
        }
        for (int i = 0; i < count; ++i) {
            block[i].~T();
        }
        MemoryController::deallocate(block);
    }

    bool reallocate(int newPhysicalLen)
    {
        if constexpr (kRelocatesOnGrowth) {
            if (pElements != nullptr && newPhysicalLen > physicalLength) {
                return grow(newPhysicalLen);
            }
        }
        T* block = MemoryController::allocate(newPhysicalLen);
        if (block == nullptr) {
            KIV_REPORT("pElements != NULL && numElements > 0");
            return false;
        }
        const int kept = length < newPhysicalLen ? length : newPhysicalLen;
        int built = 0;
        try {
            if constexpr (kMovesOnGrowth) {
                // The old elements are destroyed right after: take their values over.
                for (; built < kept; ++built) {
                    new (block + built) T(std::move(pElements[built]));
                }
            }
            // NOLINTNEXTLINE(bugprone-sizeof-expression): T may be a pointer
            const size_t size = sizeof(T) * static_cast<size_t>(newPhysicalLen - built);
            // cppcheck-suppress memsetClass ; raw storage: the elements are constructed in it below
            std::memset(static_cast<void*>(block + built), 0, size);
            for (; built < newPhysicalLen; ++built) {
                new (block + built) T();
            }
            if constexpr (!kMovesOnGrowth) {
                Reallocator::copy(block, pElements, kept);
            }
        } catch (...) {
            // A copy that throws (std::bad_alloc) leaves the array as it was.
            destroy(block, built);
            throw;
        }
        destroy(pElements, physicalLength);
        pElements = block;
        physicalLength = newPhysicalLen;
        if (length > newPhysicalLen) {
            length = newPhysicalLen;
        }
        return true;
    }

    // The block resized in place to `newPhysicalLen` > physicalLength; the new
    // slots are zero-filled and default-made.
    bool grow(int newPhysicalLen)
    {
        T* block = MemoryController::reallocate(pElements, newPhysicalLen);
        if (block == nullptr) {
            KIV_REPORT("pElements != NULL && numElements > 0");
            return false;
        }
        pElements = block; // the old block is gone either way
        int built = physicalLength;
        try {
            // NOLINTNEXTLINE(bugprone-sizeof-expression): T may be a pointer
            const size_t size = sizeof(T) * static_cast<size_t>(newPhysicalLen - built);
            // cppcheck-suppress memsetClass ; raw storage: the elements are constructed in it below
            std::memset(static_cast<void*>(block + built), 0, size);
            for (; built < newPhysicalLen; ++built) {
                new (block + built) T();
            }
        } catch (...) {
            // The new slots made so far are undone; the larger block stays.
            for (int i = physicalLength; i < built; ++i) {
                block[i].~T();
            }
            throw;
        }
        physicalLength = newPhysicalLen;
        return true;
    }

    int length = 0;
    int physicalLength = 0;
    int growBy = 8;
    T* pElements = nullptr;
};
