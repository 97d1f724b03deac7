#include <maya/MMatrix.h>

#include <cmath>
#include <utility>

const MMatrix MMatrix::identity;

MMatrix::MMatrix() {
    setToIdentity();
}

MMatrix::MMatrix(const double m[4][4]) {
    for (int row = 0; row < 4; ++row) {
        for (int col = 0; col < 4; ++col) matrix[row][col] = m[row][col];
    }
}

MMatrix::MMatrix(const float m[4][4]) {
    for (int row = 0; row < 4; ++row) {
        for (int col = 0; col < 4; ++col) matrix[row][col] = static_cast<double>(m[row][col]);
    }
}

MStatus MMatrix::get(double dest[4][4]) const {
    for (int row = 0; row < 4; ++row) {
        for (int col = 0; col < 4; ++col) dest[row][col] = matrix[row][col];
    }
    return MStatus::kSuccess;
}

MStatus MMatrix::get(float dest[4][4]) const {
    for (int row = 0; row < 4; ++row) {
        for (int col = 0; col < 4; ++col) dest[row][col] = static_cast<float>(matrix[row][col]);
    }
    return MStatus::kSuccess;
}

MMatrix MMatrix::transpose() const {
    MMatrix result;
    for (int row = 0; row < 4; ++row) {
        for (int col = 0; col < 4; ++col) result.matrix[row][col] = matrix[col][row];
    }
    return result;
}

MMatrix& MMatrix::setToIdentity() {
    for (int row = 0; row < 4; ++row) {
        for (int col = 0; col < 4; ++col) matrix[row][col] = row == col ? 1.0 : 0.0;
    }
    return *this;
}

MMatrix& MMatrix::setToProduct(const MMatrix& left, const MMatrix& right) {
    // Computed into a temporary so that either operand may be *this.
    double product[4][4];
    for (int row = 0; row < 4; ++row) {
        for (int col = 0; col < 4; ++col) {
            double sum = 0.0;
            for (int k = 0; k < 4; ++k) sum += left.matrix[row][k] * right.matrix[k][col];
            product[row][col] = sum;
        }
    }
    *this = MMatrix(product);
    return *this;
}

MMatrix& MMatrix::operator+=(const MMatrix& right) {
    for (int row = 0; row < 4; ++row) {
        for (int col = 0; col < 4; ++col) matrix[row][col] += right.matrix[row][col];
    }
    return *this;
}

MMatrix MMatrix::operator+(const MMatrix& right) const {
    return MMatrix(*this) += right;
}

MMatrix& MMatrix::operator-=(const MMatrix& right) {
    for (int row = 0; row < 4; ++row) {
        for (int col = 0; col < 4; ++col) matrix[row][col] -= right.matrix[row][col];
    }
    return *this;
}

MMatrix MMatrix::operator-(const MMatrix& right) const {
    return MMatrix(*this) -= right;
}

MMatrix& MMatrix::operator*=(const MMatrix& right) {
    return setToProduct(*this, right);
}

MMatrix MMatrix::operator*(const MMatrix& right) const {
    MMatrix result;
    return result.setToProduct(*this, right);
}

MMatrix& MMatrix::operator*=(double scalar) {
    for (auto& row : matrix) {
        for (double& value : row) value *= scalar;
    }
    return *this;
}

MMatrix MMatrix::operator*(double scalar) const {
    return MMatrix(*this) *= scalar;
}

OPENMAYA_MAJOR_NAMESPACE_OPEN
MMatrix operator*(double scalar, const MMatrix& right) {
    return right * scalar;
}
OPENMAYA_NAMESPACE_CLOSE

bool MMatrix::operator==(const MMatrix& other) const {
    for (int row = 0; row < 4; ++row) {
        for (int col = 0; col < 4; ++col) {
            if (matrix[row][col] != other.matrix[row][col]) return false;
        }
    }
    return true;
}

bool MMatrix::operator!=(const MMatrix& other) const {
    return !(*this == other);
}

MMatrix MMatrix::inverse() const {
    // Gauss-Jordan elimination with partial pivoting on [M | I].
    double a[4][4];
    double inv[4][4];
    for (int row = 0; row < 4; ++row) {
        for (int col = 0; col < 4; ++col) {
            a[row][col] = matrix[row][col];
            inv[row][col] = row == col ? 1.0 : 0.0;
        }
    }
    for (int col = 0; col < 4; ++col) {
        int pivot = col;
        for (int row = col + 1; row < 4; ++row) {
            if (std::fabs(a[row][col]) > std::fabs(a[pivot][col])) pivot = row;
        }
        if (a[pivot][col] == 0.0 || !std::isfinite(a[pivot][col])) return MMatrix();
        if (pivot != col) {
            std::swap(a[pivot], a[col]);
            std::swap(inv[pivot], inv[col]);
        }
        const double scale = 1.0 / a[col][col];
        for (int k = 0; k < 4; ++k) {
            a[col][k] *= scale;
            inv[col][k] *= scale;
        }
        for (int row = 0; row < 4; ++row) {
            if (row == col) continue;
            const double factor = a[row][col];
            if (factor == 0.0) continue;
            for (int k = 0; k < 4; ++k) {
                a[row][k] -= factor * a[col][k];
                inv[row][k] -= factor * inv[col][k];
            }
        }
    }
    for (const auto& row : inv) {
        for (double value : row) {
            if (!std::isfinite(value)) return MMatrix();
        }
    }
    return MMatrix(inv);
}

namespace {

// Determinant of the 3x3 minor of m without the given row and column.
double minor3(const double m[4][4], int skipRow, int skipCol) {
    int rows[3];
    int cols[3];
    for (int i = 0, r = 0, c = 0; i < 4; ++i) {
        if (i != skipRow) rows[r++] = i;
        if (i != skipCol) cols[c++] = i;
    }
    auto at = [&](int r, int c) { return m[rows[r]][cols[c]]; };
    return at(0, 0) * (at(1, 1) * at(2, 2) - at(1, 2) * at(2, 1)) -
           at(0, 1) * (at(1, 0) * at(2, 2) - at(1, 2) * at(2, 0)) +
           at(0, 2) * (at(1, 0) * at(2, 1) - at(1, 1) * at(2, 0));
}

}  // namespace

MMatrix MMatrix::adjoint() const {
    MMatrix result;
    for (int row = 0; row < 4; ++row) {
        for (int col = 0; col < 4; ++col) {
            const double sign = ((row + col) % 2 == 0) ? 1.0 : -1.0;
            result.matrix[col][row] = sign * minor3(matrix, row, col);
        }
    }
    return result;
}

double MMatrix::det4x4() const {
    double det = 0.0;
    for (int col = 0; col < 4; ++col) {
        const double sign = (col % 2 == 0) ? 1.0 : -1.0;
        det += sign * matrix[0][col] * minor3(matrix, 0, col);
    }
    return det;
}

double MMatrix::det3x3() const {
    return minor3(matrix, 3, 3);
}

bool MMatrix::isEquivalent(const MMatrix& other, double tolerance) const {
    for (int row = 0; row < 4; ++row) {
        for (int col = 0; col < 4; ++col) {
            if (!(std::fabs(matrix[row][col] - other.matrix[row][col]) <= tolerance)) return false;
        }
    }
    return true;
}

bool MMatrix::isSingular() const {
    return !(std::fabs(det4x4()) > MMatrix_kTol);
}
