// The tangent behind the crossover's coefficients, the same bits on every
// platform. The C libraries' tan differ in the last bit for a few percent of
// arguments (glibc, the WebAssembly build's musl, Windows' runtime), and one
// bit in a coefficient is a different sound; this one is evaluated with
// IEEE additions, multiplications and divisions only, in a fixed order.
#pragma once

// tan(x) for |x| <= pi / 2, rounded once from a double-double result: the
// correctly rounded value for every argument the crossover uses (20 Hz to
// 20 kHz at the usual rates, checked against quadruple precision).
double PortableTan(double x);
