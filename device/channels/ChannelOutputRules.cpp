#include "device/channels/ChannelOutputRules.h"

#include <maya/MMatrix.h>
#include <maya/MTransformationMatrix.h>
#include <maya/MTypes.h>
#include <maya/MVector.h>

double vectorChannelOutput(const double* xyz, unsigned component) {
    return component < 3 ? xyz[component] : 0.0;
}

MatrixChannelOutputs matrixChannelOutputs(const double* rowMajor16) {
    double rows[4][4];
    for (int row = 0; row < 4; ++row)
        for (int column = 0; column < 4; ++column) rows[row][column] = rowMajor16[4 * row + column];

    const MTransformationMatrix transform{MMatrix(rows)};
    const MVector translation = transform.getTranslation(MSpace::kTransform);
    double rotation[3] = {0.0, 0.0, 0.0};
    MTransformationMatrix::RotationOrder order = MTransformationMatrix::kXYZ;
    transform.getRotation(rotation, order);
    return {translation.x, translation.y, translation.z, rotation[0], rotation[1], rotation[2]};
}

double matrixChannelOutput(const double* rowMajor16, unsigned index) {
    if (index >= kMatrixOutputCount) return 0.0;
    return matrixChannelOutputs(rowMajor16)[index];
}
