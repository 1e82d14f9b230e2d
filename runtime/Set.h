// A set of enumeration values held as a bit mask: the element with ordinal n is bit n.
#pragma once

#include <concepts>
#include <cstdint>
#include <initializer_list>
#include <limits>
#include <type_traits>

template <class E, std::unsigned_integral Bits = std::uint32_t>
  requires std::is_enum_v<E>
class TSet {
 public:
  using Element = E;
  using BitsType = Bits;
  static constexpr unsigned Capacity = std::numeric_limits<Bits>::digits;

  constexpr TSet() = default;
  constexpr TSet(std::initializer_list<E> elements) {
    for (E e : elements) Include(e);
  }
  static constexpr TSet FromBits(Bits bits) {
    TSet s;
    s.bits_ = bits;
    return s;
  }
  constexpr Bits ToBits() const { return bits_; }

  // An ordinal outside the set's width is never a member and cannot be added: no shift past
  // the width of the mask.
  constexpr bool Contains(E e) const { return InRange(e) && (bits_ & Bit(e)) != 0; }
  constexpr TSet& Include(E e) {
    if (InRange(e)) bits_ = static_cast<Bits>(bits_ | Bit(e));
    return *this;
  }
  constexpr TSet& Exclude(E e) {
    if (InRange(e)) bits_ = static_cast<Bits>(bits_ & ~Bit(e));
    return *this;
  }
  constexpr bool Empty() const { return bits_ == 0; }

  friend constexpr TSet operator+(TSet a, TSet b) { return FromBits(static_cast<Bits>(a.bits_ | b.bits_)); }
  friend constexpr TSet operator*(TSet a, TSet b) { return FromBits(static_cast<Bits>(a.bits_ & b.bits_)); }
  friend constexpr TSet operator-(TSet a, TSet b) { return FromBits(static_cast<Bits>(a.bits_ & ~b.bits_)); }
  friend constexpr bool operator==(TSet a, TSet b) = default;

 private:
  static constexpr bool InRange(E e) {
    const auto ordinal = static_cast<std::underlying_type_t<E>>(e);
    return ordinal >= 0 && static_cast<unsigned>(ordinal) < Capacity;
  }
  static constexpr Bits Bit(E e) { return static_cast<Bits>(Bits{1} << static_cast<unsigned>(e)); }

  Bits bits_ = 0;
};
