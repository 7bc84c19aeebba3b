#pragma once

#include <cmath>
#include <stdexcept>
#include <string>

namespace kanat {

// The run-time faults a measuring step can hit; a step that hits one stops where it is.
enum class ArithmeticFault { Overflow, DivisionByZero, InvalidOperation, Conversion };

class ArithmeticError : public std::runtime_error {
public:
    explicit ArithmeticError(ArithmeticFault fault) : std::runtime_error(describe(fault)), fault_(fault) {}
    ArithmeticFault fault() const { return fault_; }

private:
    static std::string describe(ArithmeticFault fault) {
        switch (fault) {
        case ArithmeticFault::Overflow: return "overflow";
        case ArithmeticFault::DivisionByZero: return "division by zero";
        case ArithmeticFault::InvalidOperation: return "invalid operation";
        case ArithmeticFault::Conversion: return "conversion error";
        }
        return "arithmetic error";
    }
    ArithmeticFault fault_;
};

// Every arithmetic step is tested as it is taken, so a result never carries an inf or a NaN onward.
namespace checked {

inline double result(double value) {
    if (std::isnan(value)) throw ArithmeticError(ArithmeticFault::InvalidOperation);
    if (std::isinf(value)) throw ArithmeticError(ArithmeticFault::Overflow);
    return value;
}
inline double add(double a, double b) { return result(a + b); }
inline double sub(double a, double b) { return result(a - b); }
inline double mul(double a, double b) { return result(a * b); }
inline double square(double a) { return result(a * a); }
inline double div(double a, double b) {
    if (b == 0.0) throw ArithmeticError(a == 0.0 ? ArithmeticFault::Overflow : ArithmeticFault::DivisionByZero);
    return result(a / b);
}
inline double sqrt(double a) {
    if (a < 0.0) throw ArithmeticError(ArithmeticFault::InvalidOperation);
    return std::sqrt(a);
}

} // namespace checked
} // namespace kanat
