// Dimora3 — fractal dimension by box counting.
// SPDX-License-Identifier: MIT
#include "core/common/ordered_pipeline.hpp"

#include <gtest/gtest.h>

#include <atomic>
#include <latch>
#include <stdexcept>
#include <string>

namespace dimora {
namespace {

PipelineShape shapeOf(const std::tuple<std::size_t, std::size_t, std::size_t>& shape)
{
    return {std::get<0>(shape), std::get<1>(shape), std::get<2>(shape)};
}

// Every shape: items, workers, items ahead (more workers than items, one
// worker, as many ahead as there are items).
class OrderedPipelineTest
    : public ::testing::TestWithParam<std::tuple<std::size_t, std::size_t, std::size_t>> {};

INSTANTIATE_TEST_SUITE_P(Shapes, OrderedPipelineTest,
                         ::testing::Values(std::tuple{1, 1, 1}, std::tuple{6, 1, 1}, std::tuple{9, 2, 2},
                                           std::tuple{40, 3, 1}, std::tuple{40, 4, 6}, std::tuple{5, 8, 3},
                                           std::tuple{30, 3, 30}));

TEST_P(OrderedPipelineTest, GivesTheItemsInOrderNeverMoreThanAheadStarted)
{
    const PipelineShape shape = shapeOf(GetParam());
    std::atomic<std::size_t> started = 0;
    OrderedPipeline<std::string> pipeline(shape, [&] {
        return [&](std::size_t k, const std::string&, const std::stop_token&) {
            ++started;
            return std::to_string(k);
        };
    });
    for (std::size_t k = 0; k < shape.count; ++k) {
        EXPECT_EQ(pipeline.next(), std::to_string(k));
        EXPECT_LE(started.load(), k + 1 + shape.ahead) << "after item " << k;
    }
    EXPECT_EQ(pipeline.next(), std::nullopt);
}

TEST_P(OrderedPipelineTest, GivesAnErrorWhenItsItemComes)
{
    const PipelineShape shape = shapeOf(GetParam());
    for (const std::size_t failing : {std::size_t{0}, shape.count / 2, shape.count - 1}) {
        // Every item from `failing` on fails, so that later errors, made
        // first, must wait for their turn.
        OrderedPipeline<std::string> pipeline(shape, [&] {
            return [&](std::size_t k, const std::string&, const std::stop_token&) {
                if (k >= failing)
                    throw std::runtime_error("item " + std::to_string(k));
                return std::to_string(k);
            };
        });
        for (std::size_t k = 0; k < failing; ++k)
            EXPECT_EQ(pipeline.next(), std::to_string(k));
        for (int again = 0; again < 2; ++again) {
            try {
                (void)pipeline.next();
                ADD_FAILURE() << "no error at item " << failing;
            } catch (const std::runtime_error& e) {
                EXPECT_EQ(e.what(), "item " + std::to_string(failing));
            }
        }
    }
}

TEST_P(OrderedPipelineTest, GivesAWorkersSetUpErrorAsItsFirstItemsError)
{
    OrderedPipeline<std::string> pipeline(shapeOf(GetParam()), []() -> OrderedPipeline<std::string>::Maker {
        throw std::runtime_error("no reader");
    });
    EXPECT_THROW((void)pipeline.next(), std::runtime_error);
}

TEST_P(OrderedPipelineTest, EndsAtAStopEvenWhileWaiting)
{
    const PipelineShape shape = shapeOf(GetParam());
    for (const std::size_t stopAt : {std::size_t{0}, shape.count / 2}) {
        std::stop_source stop;
        std::latch prefixTaken(1);
        std::latch stoppedNext(1);
        // Item stopAt asks for the stop once the items before it are taken,
        // and is done only after the next() that waits for it has returned.
        OrderedPipeline<std::string> pipeline(
            shape,
            [&] {
                return [&](std::size_t k, const std::string&, const std::stop_token&) {
                    if (k == stopAt) {
                        prefixTaken.wait();
                        stop.request_stop();
                        stoppedNext.wait();
                    }
                    return std::to_string(k);
                };
            },
            stop.get_token());
        for (std::size_t k = 0; k < stopAt; ++k)
            EXPECT_EQ(pipeline.next(), std::to_string(k));
        prefixTaken.count_down();
        EXPECT_EQ(pipeline.next(), std::nullopt);
        stoppedNext.count_down();
        EXPECT_EQ(pipeline.next(), std::nullopt);
    }
}

}  // namespace
}  // namespace dimora
