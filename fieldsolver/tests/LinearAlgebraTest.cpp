#include "fieldsolver/LinearAlgebra.h"

#include <gtest/gtest.h>

#include <cmath>
#include <random>
#include <vector>

using namespace linalg;

namespace {

std::vector<float> RandomMatrix(int n, unsigned seed, bool symmetric, double diagonal = 0.0)
{
    std::mt19937 rng(seed);
    std::uniform_real_distribution<float> d(-1.0f, 1.0f);
    std::vector<float> a(std::size_t(n) * n);
    for (auto& v : a)
        v = d(rng);
    if (symmetric)
        for (int i = 0; i < n; ++i)
            for (int j = 0; j < i; ++j)
                a[std::size_t(i) * n + j] = a[std::size_t(j) * n + i];
    for (int i = 0; i < n; ++i)
        a[std::size_t(i) * n + i] += float(diagonal);
    return a;
}

double ResidualOfInverse(const std::vector<float>& a, const std::vector<float>& inv, int n)
{
    double worst = 0.0;
    for (int i = 0; i < n; ++i)
        for (int j = 0; j < n; ++j) {
            double s = 0.0;
            for (int k = 0; k < n; ++k)
                s += double(a[std::size_t(i) * n + k]) * inv[std::size_t(k) * n + j];
            worst = std::max(worst, std::fabs(s - (i == j ? 1.0 : 0.0)));
        }
    return worst;
}

} // namespace

TEST(LinearAlgebra, InvertGivesResidualNearIdentity)
{
    for (int n : {1, 2, 7, 40}) {
        const auto a = RandomMatrix(n, 11u + unsigned(n), false, 3.0);
        auto inv = a;
        ASSERT_EQ(Invert(inv.data(), n), 0) << n;
        EXPECT_LT(ResidualOfInverse(a, inv, n), 1e-4) << n;
    }
}

TEST(LinearAlgebra, InvertSmallCases)
{
    float tiny[1] = {1e-8f};
    EXPECT_EQ(Invert(tiny, 1), 3);
    float two[1] = {2.0f};
    ASSERT_EQ(Invert(two, 1), 0);
    EXPECT_FLOAT_EQ(two[0], 0.5f);
    float singular[4] = {1, 2, 2, 4};
    EXPECT_EQ(Invert(singular, 2), 3);
}

TEST(LinearAlgebra, FactoriseAndSolveSatisfyTheSystem)
{
    const int n = 30;
    const auto a = RandomMatrix(n, 5u, false);
    auto lu = a;
    std::vector<std::int32_t> piv(2 * n);
    ASSERT_EQ(Factorise(lu.data(), n, piv.data()), 0);
    std::vector<float> b(n), x(n);
    for (int i = 0; i < n; ++i)
        b[std::size_t(i)] = float(i % 5) - 2.0f;
    auto rhs = b;
    ASSERT_EQ(SolveFactorised(lu.data(), rhs.data(), x.data(), n, piv.data()), 0);
    for (int i = 0; i < n; ++i) {
        double s = 0.0;
        for (int j = 0; j < n; ++j)
            s += double(a[std::size_t(i) * n + j]) * x[std::size_t(j)];
        EXPECT_NEAR(s, b[std::size_t(i)], 1e-3) << i;
    }
}

TEST(LinearAlgebra, FullPivotingTakesTheFirstOfEqualMaxima)
{
    float a[4] = {1.0f, 3.0f, 3.0f, 1.0f};
    std::int32_t piv[4];
    ASSERT_EQ(Factorise(a, 2, piv), 0);
    EXPECT_EQ(piv[2], 0);   // row pivot of step 0
    EXPECT_EQ(piv[0], 1);   // column pivot of step 0: (0, 1) comes before (1, 0)
}

TEST(LinearAlgebra, EigenOfDiagonalIsSortedWithUnitVectors)
{
    float a[9] = {1, 0, 0, 0, 5, 0, 0, 0, 3};
    float values[3], vectors[9];
    ASSERT_EQ(EigenSymmetric(a, 3, values, vectors), 0);
    EXPECT_FLOAT_EQ(values[0], 5.0f);
    EXPECT_FLOAT_EQ(values[1], 3.0f);
    EXPECT_FLOAT_EQ(values[2], 1.0f);
    EXPECT_NEAR(std::fabs(vectors[0 * 3 + 1]), 1.0f, 1e-6);
    EXPECT_NEAR(std::fabs(vectors[1 * 3 + 2]), 1.0f, 1e-6);
    EXPECT_NEAR(std::fabs(vectors[2 * 3 + 0]), 1.0f, 1e-6);
}

TEST(LinearAlgebra, EigenVectorsSatisfyAvEqualsLambdaV)
{
    const int n = 12;
    const auto a = RandomMatrix(n, 3u, true);
    std::vector<float> values(n), vectors(std::size_t(n) * n);
    ASSERT_EQ(EigenSymmetric(a.data(), n, values.data(), vectors.data()), 0);
    for (int k = 0; k < n; ++k) {
        if (k > 0) {
            EXPECT_GE(values[std::size_t(k - 1)], values[std::size_t(k)]);
        }
        for (int i = 0; i < n; ++i) {
            double s = 0.0;
            for (int j = 0; j < n; ++j)
                s += double(a[std::size_t(i) * n + j]) * vectors[std::size_t(k) * n + j];
            EXPECT_NEAR(s, values[std::size_t(k)] * vectors[std::size_t(k) * n + i], 1e-4);
        }
    }
}

TEST(LinearAlgebra, SquareRootSquaresBackAndRefusesNegativeEigenvalues)
{
    const int n = 6;
    auto a = RandomMatrix(n, 9u, true, 4.0);
    auto s = a;
    ASSERT_EQ(SquareRootSymmetric(s.data(), n), 0);
    std::vector<float> ss(std::size_t(n) * n);
    ASSERT_EQ(Multiply(s.data(), s.data(), ss.data(), n, n, n, n), 0);
    for (std::size_t i = 0; i < ss.size(); ++i)
        EXPECT_NEAR(ss[i], a[i], 1e-4);

    float negative[4] = {1.0f, 0.0f, 0.0f, -1e-3f};
    EXPECT_EQ(SquareRootSymmetric(negative, 2), 4);
    float barely[4] = {1.0f, 0.0f, 0.0f, -1e-8f};
    ASSERT_EQ(SquareRootSymmetric(barely, 2), 0);
    EXPECT_NEAR(barely[3], 1e-4f, 1e-6f);   // the magnitude's root
}

TEST(LinearAlgebra, SmallHelpers)
{
    float zero[3] = {0, 0, 0};
    EXPECT_EQ(Normalise(zero, 3), 0.0);
    EXPECT_EQ(zero[0], 0.0f);
    float v[2] = {3, 4};
    EXPECT_NEAR(Normalise(v, 2), 0.2, 1e-7);
    EXPECT_FLOAT_EQ(v[1], 0.8f);

    float a[4] = {1, 2, 3, 4}, c[4] = {-7, -7, -7, -7};
    EXPECT_EQ(Multiply(a, a, c, 2, 2, 3, 2), -1);
    EXPECT_EQ(c[0], -7.0f);   // nothing written

    float m[4] = {1, 2, 4, 3};
    Symmetrise(m, 2);
    EXPECT_FLOAT_EQ(m[1], 3.0f);
    EXPECT_FLOAT_EQ(m[2], 3.0f);
}
