#include "edid/fixed_notation.h"

#include <cmath>
#include <cstdint>
#include <vector>

namespace {

// An unsigned integer of any size, as 32-bit limbs, least significant first.
// It holds a double's mantissa scaled by a power of ten and a power of two.
class BigUnsigned {
 public:
  explicit BigUnsigned(std::uint64_t value) {
    limbs_.push_back(static_cast<std::uint32_t>(value));
    limbs_.push_back(static_cast<std::uint32_t>(value >> 32));
    Trim();
  }

  void MultiplyAdd(std::uint32_t factor, std::uint32_t addend) {
    std::uint64_t carry = addend;
    for (std::uint32_t& limb : limbs_) {
      const std::uint64_t product = std::uint64_t{limb} * factor + carry;
      limb = static_cast<std::uint32_t>(product);
      carry = product >> 32;
    }
    if (carry != 0) limbs_.push_back(static_cast<std::uint32_t>(carry));
  }

  // Divides in place and returns the remainder.
  std::uint32_t Divide(std::uint32_t divisor) {
    std::uint64_t remainder = 0;
    for (auto limb = limbs_.rbegin(); limb != limbs_.rend(); ++limb) {
      const std::uint64_t current = (remainder << 32) | *limb;
      *limb = static_cast<std::uint32_t>(current / divisor);
      remainder = current % divisor;
    }
    Trim();
    return static_cast<std::uint32_t>(remainder);
  }

  void ShiftLeft(unsigned bits) {
    limbs_.insert(limbs_.begin(), bits / 32, 0);
    const unsigned rest = bits % 32;
    if (rest != 0) {
      std::uint32_t carry = 0;
      for (std::uint32_t& limb : limbs_) {
        const std::uint32_t next = limb >> (32 - rest);
        limb = (limb << rest) | carry;
        carry = next;
      }
      if (carry != 0) limbs_.push_back(carry);
    }
    Trim();
  }

  void ShiftRight(unsigned bits) {
    const std::size_t whole = bits / 32;
    if (whole >= limbs_.size()) {
      limbs_.clear();
      return;
    }
    limbs_.erase(limbs_.begin(), limbs_.begin() + static_cast<std::ptrdiff_t>(whole));
    const unsigned rest = bits % 32;
    if (rest != 0) {
      for (std::size_t i = 0; i < limbs_.size(); ++i) {
        const std::uint32_t high = i + 1 < limbs_.size() ? limbs_[i + 1] << (32 - rest) : 0;
        limbs_[i] = (limbs_[i] >> rest) | high;
      }
    }
    Trim();
  }

  bool Bit(unsigned index) const {
    const std::size_t limb = index / 32;
    return limb < limbs_.size() && ((limbs_[limb] >> (index % 32)) & 1) != 0;
  }

  bool AnyBitBelow(unsigned index) const {
    for (unsigned i = 0; i < index; ++i) {
      if (Bit(i)) return true;
    }
    return false;
  }

  bool IsZero() const { return limbs_.empty(); }

  std::string ToDecimal() {
    if (IsZero()) return "0";
    std::string digits;
    while (!IsZero()) digits.insert(digits.begin(), static_cast<char>('0' + Divide(10)));
    return digits;
  }

 private:
  void Trim() {
    while (!limbs_.empty() && limbs_.back() == 0) limbs_.pop_back();
  }

  std::vector<std::uint32_t> limbs_;
};

constexpr int kMantissaBits = 53;

}  // namespace

std::string FormatFixed(double value, int decimals) {
  if (std::isnan(value)) return "nan";
  const std::string sign = std::signbit(value) ? "-" : "";
  if (std::isinf(value)) return sign + "inf";
  if (decimals < 0) decimals = 0;

  // |value| = mantissa × 2^exponent exactly.
  int exponent = 0;
  const double fraction = std::frexp(std::fabs(value), &exponent);
  const auto mantissa = static_cast<std::uint64_t>(std::ldexp(fraction, kMantissaBits));
  exponent -= kMantissaBits;

  // scaled = |value| × 10^decimals, rounded to an integer, ties to even.
  BigUnsigned scaled(mantissa);
  for (int i = 0; i < decimals; ++i) scaled.MultiplyAdd(10, 0);
  if (exponent >= 0) {
    scaled.ShiftLeft(static_cast<unsigned>(exponent));
  } else {
    const auto dropped = static_cast<unsigned>(-exponent);
    const bool half = scaled.Bit(dropped - 1);
    const bool aboveHalf = half && scaled.AnyBitBelow(dropped - 1);
    scaled.ShiftRight(dropped);
    if (aboveHalf || (half && scaled.Bit(0))) scaled.MultiplyAdd(1, 1);
  }

  std::string digits = scaled.ToDecimal();
  const auto minimum = static_cast<std::size_t>(decimals) + 1;
  if (digits.size() < minimum) digits.insert(0, minimum - digits.size(), '0');
  if (decimals > 0) digits.insert(digits.size() - static_cast<std::size_t>(decimals), ".");
  return sign + digits;
}

std::ostream& operator<<(std::ostream& out, FixedNotation number) {
  std::string text = FormatFixed(number.value, static_cast<int>(out.precision()));
  const std::streamsize width = out.width(0);
  if (width > static_cast<std::streamsize>(text.size())) {
    const std::string padding(static_cast<std::size_t>(width) - text.size(), out.fill());
    const std::ios::fmtflags adjust = out.flags() & std::ios::adjustfield;
    if (adjust == std::ios::left) {
      text += padding;
    } else if (adjust == std::ios::internal && text[0] == '-') {
      text.insert(1, padding);
    } else {
      text.insert(0, padding);
    }
  }
  return out << text;
}
