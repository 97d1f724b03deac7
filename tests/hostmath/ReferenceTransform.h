#pragma once
// Reference composition for the tests, written out axis by axis so that it shares nothing with
// the host's own code: M = S * Sh * R * T for row vectors.

#include <cmath>
#include <string>

#include <maya/MMatrix.h>

namespace reference {

struct M3 {
    double m[3][3];
};

inline M3 product(const M3& a, const M3& b) {
    M3 r{};
    for (int i = 0; i < 3; ++i)
        for (int j = 0; j < 3; ++j)
            for (int k = 0; k < 3; ++k) r.m[i][j] += a.m[i][k] * b.m[k][j];
    return r;
}

// Row-vector rotations: p * rotX(a) turns y towards z.
inline M3 rotX(double a) {
    return {{{1, 0, 0}, {0, std::cos(a), std::sin(a)}, {0, -std::sin(a), std::cos(a)}}};
}
inline M3 rotY(double a) {
    return {{{std::cos(a), 0, -std::sin(a)}, {0, 1, 0}, {std::sin(a), 0, std::cos(a)}}};
}
inline M3 rotZ(double a) {
    return {{{std::cos(a), std::sin(a), 0}, {-std::sin(a), std::cos(a), 0}, {0, 0, 1}}};
}

// order like "zxy": the axis applied first comes first, so "xyz" gives Rx * Ry * Rz.
inline M3 rotation(const double angles[3], const std::string& order) {
    M3 r{{{1, 0, 0}, {0, 1, 0}, {0, 0, 1}}};
    for (char axis : order) {
        if (axis == 'x') r = product(r, rotX(angles[0]));
        if (axis == 'y') r = product(r, rotY(angles[1]));
        if (axis == 'z') r = product(r, rotZ(angles[2]));
    }
    return r;
}

// Angles given in the order's own sequence (first, middle, last), placed on x, y, z.
inline void anglesInOrder(const double sequence[3], const std::string& order, double xyz[3]) {
    for (int i = 0; i < 3; ++i) xyz[order[i] - 'x'] = sequence[i];
}

inline MMatrix compose(const double translate[3], const double angles[3], const std::string& order,
                       const double scale[3], const double shear[3]) {
    const M3 s{{{scale[0], 0, 0}, {0, scale[1], 0}, {0, 0, scale[2]}}};
    const M3 sh{{{1, 0, 0}, {shear[0], 1, 0}, {shear[1], shear[2], 1}}};
    const M3 upper = product(product(s, sh), rotation(angles, order));
    double m[4][4] = {};
    for (int i = 0; i < 3; ++i)
        for (int j = 0; j < 3; ++j) m[i][j] = upper.m[i][j];
    for (int j = 0; j < 3; ++j) m[3][j] = translate[j];
    m[3][3] = 1.0;
    return MMatrix(m);
}

}  // namespace reference
