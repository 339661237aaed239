#include "effect/PortableTan.h"

#include <array>
#include <cstddef>

namespace {

// A value as the unevaluated sum hi + lo, |lo| at most half an ulp of hi:
// about 106 bits of precision from double arithmetic alone (Dekker, Knuth).
struct DoubleDouble {
  double hi;
  double lo;
};

constexpr DoubleDouble TwoSum(double a, double b) {
  const double s = a + b;
  const double bb = s - a;
  return {s, (a - (s - bb)) + (b - bb)};
}

// For |a| >= |b|.
constexpr DoubleDouble FastTwoSum(double a, double b) {
  const double s = a + b;
  return {s, b - (s - a)};
}

// The exact product, splitting each factor into halves of 26 bits.
constexpr DoubleDouble TwoProduct(double a, double b) {
  constexpr double kSplitter = 134217729.0;  // 2^27 + 1
  const double ta = kSplitter * a;
  const double ah = ta - (ta - a);
  const double al = a - ah;
  const double tb = kSplitter * b;
  const double bh = tb - (tb - b);
  const double bl = b - bh;
  const double p = a * b;
  return {p, ((ah * bh - p) + ah * bl + al * bh) + al * bl};
}

constexpr DoubleDouble Add(DoubleDouble a, DoubleDouble b) {
  DoubleDouble s = TwoSum(a.hi, b.hi);
  const DoubleDouble t = TwoSum(a.lo, b.lo);
  s = FastTwoSum(s.hi, s.lo + t.hi);
  return FastTwoSum(s.hi, s.lo + t.lo);
}

constexpr DoubleDouble Negate(DoubleDouble a) { return {-a.hi, -a.lo}; }

constexpr DoubleDouble Multiply(DoubleDouble a, DoubleDouble b) {
  const DoubleDouble p = TwoProduct(a.hi, b.hi);
  return FastTwoSum(p.hi, p.lo + (a.hi * b.lo + a.lo * b.hi));
}

// Three quotient digits, each from the remainder left by the ones before.
constexpr DoubleDouble Divide(DoubleDouble a, DoubleDouble b) {
  const double q1 = a.hi / b.hi;
  DoubleDouble r = Add(a, Negate(Multiply(b, {q1, 0.0})));
  const double q2 = r.hi / b.hi;
  r = Add(r, Negate(Multiply(b, {q2, 0.0})));
  const double q3 = r.hi / b.hi;
  return Add(FastTwoSum(q1, q2), {q3, 0.0});
}

// Taylor terms of sine and cosine: x^37 / 37! < 2^-116 for |x| <= pi / 2.
constexpr int kTerms = 18;
constexpr double kNegligible = 0x1p-112;

// 1 / (n (n + 1)) for the Horner steps below, n = 1 .. 2 kTerms.
constexpr std::array<DoubleDouble, 2 * kTerms + 1> kStepFactors = [] {
  std::array<DoubleDouble, 2 * kTerms + 1> factors{};
  for (int n = 1; n <= 2 * kTerms; ++n) {
    factors[static_cast<size_t>(n)] = Divide({1.0, 0.0}, {static_cast<double>(n) * (n + 1), 0.0});
  }
  return factors;
}();

// 1 - x^2 v / (n (n + 1)).
DoubleDouble HornerStep(DoubleDouble x2, DoubleDouble v, int n) {
  return Add({1.0, 0.0}, Negate(Multiply(Multiply(x2, v), kStepFactors[static_cast<size_t>(n)])));
}

}  // namespace

double PortableTan(double x) {
  // sin x = x (1 - x^2/(2*3) (1 - x^2/(4*5) (1 - ...))),
  // cos x = 1 - x^2/(1*2) (1 - x^2/(3*4) (1 - ...)).
  // As many terms as |x| needs, up to the first below 2^-112: 9 for 1 kHz
  // at 44.1 kHz, 18 near pi / 2.
  const DoubleDouble x2 = TwoProduct(x, x);
  int terms = 1;
  for (double term = x2.hi / 2.0; term > kNegligible && terms < kTerms;) {
    ++terms;
    term *= x2.hi / ((2.0 * terms - 1.0) * (2.0 * terms));
  }
  DoubleDouble sine{1.0, 0.0};
  DoubleDouble cosine{1.0, 0.0};
  for (int k = terms; k >= 1; --k) {
    sine = HornerStep(x2, sine, 2 * k);
    cosine = HornerStep(x2, cosine, 2 * k - 1);
  }
  const DoubleDouble tangent = Divide(Multiply({x, 0.0}, sine), cosine);
  return tangent.hi + tangent.lo;
}
