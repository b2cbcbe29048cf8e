// Dimora3 — fractal dimension by box counting.
// SPDX-License-Identifier: MIT
#include "core/measure/measurement_sequence.hpp"

#include "error_text.hpp"

#include <gtest/gtest.h>

namespace dimora {
namespace {

using testing::errorOf;

// Records the order of the steps as the windows would see them.
class StepLog : public MeasurementSink {
public:
    void appendCountLines(std::span<const std::string> lines) override
    {
        steps.push_back("lines " + std::to_string(lines.size()));
        list.insert(list.end(), lines.begin(), lines.end());
    }
    [[nodiscard]] std::vector<std::string> countLines() const override { return list; }
    void fitted(const FitResult& fit) override { steps.push_back("fit " + std::to_string(fit.n)); }
    void showFields(const ResultFields& fields) override { steps.push_back("fields" + fields.edit4); }
    void showRecalculation(std::span<const ChartPoint> points, const Recalculation* result) override
    {
        steps.push_back("chart " + std::to_string(points.size()) +
                        (result ? result->fields.edit4 : " failed"));
    }

    std::vector<std::string> list;
    std::vector<std::string> steps;
};

CountReport reportOf(std::vector<SideCount> pairs)
{
    CountReport report;
    report.value2 = 50;
    report.fitPairs = std::move(pairs);
    for (const SideCount& pair : report.fitPairs)
        report.countList.push_back(std::to_string(pair.count));
    return report;
}

TEST(FinishMeasurement, WritesListFitFieldsThenTheRecalculation)
{
    StepLog log;
    finishMeasurement(reportOf({{1, 64}, {2, 16}, {4, 4}}), 8, 8, log);
    EXPECT_EQ(log.steps, (std::vector<std::string>{"lines 3", "fit 3", "fields 2.0000", "chart 3 2.0000"}));
}

TEST(FinishMeasurement, AZeroReportWritesOnlyItsFields)
{
    StepLog log;
    CountReport report;
    report.zeroReport = true;
    finishMeasurement(report, 8, 8, log);
    EXPECT_EQ(log.steps, (std::vector<std::string>{"lines 0", "fields 0"}));
}

TEST(FinishMeasurement, AFailedFitLeavesTheListWrittenAndTheFieldsAsTheyWere)
{
    StepLog log;
    EXPECT_EQ(errorOf([&] { finishMeasurement(reportOf({{1, 5}}), 8, 8, log); }), testing::kInvalidOperation);
    EXPECT_EQ(log.steps, (std::vector<std::string>{"lines 1"}));
}

TEST(Recalculate, ReadsTheListAsEditedAndShowsThePointsFoundBeforeAFailure)
{
    StepLog log;
    log.list = {"100", "25", "abc"};
    EXPECT_EQ(errorOf([&] { recalculate(log); }), "'abc' は整数ではありません");
    EXPECT_EQ(log.steps, (std::vector<std::string>{"chart 2 failed"}));
    log.list = {"100", "", "4"};
    recalculate(log);
    EXPECT_EQ(log.steps.back(), "chart 2 2.3219");
}

}  // namespace
}  // namespace dimora
