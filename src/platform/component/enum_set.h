// A set of enumerators of one enumeration, held as a bit mask (bit n = enumerator with ordinal n).
// Published set properties (font styles, frame edges, restrictions) are of this type; templates
// store them as the decimal value of the mask.
#pragma once

#include <cstdint>
#include <initializer_list>
#include <type_traits>

namespace vl {

template <class E>
class EnumSet
{
    static_assert(std::is_enum_v<E>, "EnumSet holds enumerators");

public:
    constexpr EnumSet() = default;
    constexpr EnumSet(std::initializer_list<E> members)
    {
        for (E e : members)
            FBits |= Bit(e);
    }
    static constexpr EnumSet FromMask(uint32_t mask)
    {
        EnumSet s;
        s.FBits = mask;
        return s;
    }

    constexpr uint32_t Mask() const { return FBits; }
    constexpr bool Contains(E e) const { return (FBits & Bit(e)) != 0; }
    constexpr bool Empty() const { return FBits == 0; }
    constexpr void Include(E e) { FBits |= Bit(e); }
    constexpr void Exclude(E e) { FBits &= ~Bit(e); }
    constexpr bool operator==(const EnumSet&) const = default;

private:
    static constexpr uint32_t Bit(E e) { return uint32_t(1) << static_cast<unsigned>(e); }
    uint32_t FBits = 0;
};

} // namespace vl
