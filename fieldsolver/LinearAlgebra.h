// Dense linear algebra on square row-major single-precision matrices.
//
// Contract: matrices are n x n floats stored row by row; sums are accumulated in double and stored
// as float. Nothing throws; every routine reports through its small integer result. Singular
// systems are detected by a pivot tolerance test before each elimination step, never divided by.
// Working storage is allocated per call and freed before returning.
#pragma once

#include <cstdint>

namespace linalg {

// Core routines ---------------------------------------------------------------------------------

// Gaussian elimination in place. Returns 0, or the number of unknowns left when a pivot fell below
// `tolerance`. colPivots/rowPivots receive the pivot of each step; progress (optional) follows
// 3x(x^3/3 + 1 - x) with x the fraction of steps done.
int LuFactorise(float* a, int n, std::int32_t* colPivots, std::int32_t* rowPivots, float tolerance,
                bool fullPivoting, float* progress = nullptr);
void ForwardEliminate(const float* lu, float* b, int n, const std::int32_t* rowPivots);
// Returns 0, or n - i for a zero diagonal met in row i.
int BackSubstitute(const float* lu, const float* b, float* x, int n);
void UndoColumnPivots(float* x, int n, const std::int32_t* colPivots);
// Returns 0, -1 out of memory, or the factorisation's or substitution's positive code.
int InvertCore(float* a, int n, float tolerance, bool fullPivoting, float* progress = nullptr);
// Householder tridiagonalisation and implicit-shift QL. Reads the upper triangle only. Returns 0,
// -1 out of memory, or k when eigenvalue k (from 1) did not converge. Eigenvalues descending,
// row k of vectors is the eigenvector of value k.
int EigenCore(int n, const float* a, float* values, float* vectors);

// Wrappers used by the solve -------------------------------------------------------------------

int Invert(float* a, int n);                                            // 0, 1 memory, 3 singular
int Factorise(float* a, int n, std::int32_t* pivots);                   // pivots: 2n; 0 or 3
int SolveFactorised(const float* lu, float* b, float* x, int n, const std::int32_t* pivots);  // 0 or 3
int EigenSymmetric(const float* a, int n, float* values, float* vectors);  // 0, 1, 5
int SquareRootSymmetric(float* a, int n);                                // 0, 1, 4, 5
int Multiply(const float* a, const float* b, float* c, int m, int k, int k2, int p);  // 0 or -1
int Scale(float* a, int rows, int columns, float factor);
void Transpose(float* a, int n);
void Symmetrise(float* a, int n);
// Scales v to unit length and returns 1/|v|; a zero vector is left alone and 0 returned.
double Normalise(float* v, int n);

} // namespace linalg
