// Dimora3 — fractal dimension by box counting.
// SPDX-License-Identifier: MIT
//
// --mask and --labels end to end: every object's row is the single command
// with that object's mask and bounding box.

#include "run_program.hpp"

#include "core/files/png_test_files.hpp"
#include "core/files/sample_test_files.hpp"

#include <gtest/gtest.h>
#include <nlohmann/json.hpp>

#include <map>
#include <random>
#include <sstream>

namespace dimora {
namespace {

using json = nlohmann::json;

testing::ProgramResult cli(const std::vector<std::string>& args)
{
    return testing::runProgram(DIMORA_CLI, args);
}

std::string lastLine(const std::string& text)
{
    std::string line, last;
    std::istringstream in(text);
    while (std::getline(in, line))
        if (!line.empty())
            last = line;
    return last;
}

constexpr std::uint32_t kWidth = 48, kHeight = 40;

// The scene: grey levels (a third black), a label image of four objects (one
// of a single pixel), and a mask leaving out about one pixel in seven.
struct Scene {
    testing::ScratchFolder folder;
    std::vector<unsigned> levels, labels;
    std::vector<bool> inside;
    std::string image, labelFile, mask;

    Scene()
    {
        std::mt19937 random(5);
        for (std::uint32_t y = 0; y < kHeight; ++y)
            for (std::uint32_t x = 0; x < kWidth; ++x) {
                levels.push_back(random() % 3 == 0 ? 0 : static_cast<unsigned>(random() % 256));
                inside.push_back(random() % 7 != 0);
                unsigned label = 0;
                if (x >= 2 && x < 26 && y >= 3 && y < 31 && random() % 5 != 0)
                    label = 300;
                else if (x >= 20 && y >= 10 && random() % 10 < 7)
                    label = 7;
                else if (x < 12 && y >= 33)
                    label = 65535;
                if (x == 30 && y == 2)
                    label = 41;
                labels.push_back(label);
            }
        image = folder.file("image.png");
        labelFile = folder.file("labels.png");
        mask = folder.file("mask.png");
        testing::writeGreyPng(image, grey(SampleType::UInt8, [&](std::size_t i) { return levels[i]; }));
        testing::writeGreyPng(labelFile, grey(SampleType::UInt16, [&](std::size_t i) { return labels[i]; }));
        testing::writeGreyPng(mask,
                              grey(SampleType::UInt8, [&](std::size_t i) { return inside[i] ? 255u : 0u; }));
    }

    template <class F> static testing::GreyImage grey(SampleType type, F value)
    {
        return {kWidth, kHeight, type, [value](std::uint32_t x, std::uint32_t y) {
                    return static_cast<double>(value(y * kWidth + x));
                }};
    }

    // The mask "label = v" (and the scene's mask when asked), as a file.
    std::string objectMask(unsigned label, bool withMask)
    {
        const std::string path = folder.file("object" + std::to_string(label) + ".png");
        testing::writeGreyPng(path, grey(SampleType::UInt8, [&](std::size_t i) {
                                  return labels[i] == label && (!withMask || inside[i]) ? 255u : 0u;
                              }));
        return path;
    }
};

struct LabelCase {
    std::string measurement;
    bool withMask = false;
};

class LabelledObjects : public ::testing::TestWithParam<LabelCase> {};

TEST_P(LabelledObjects, EachRowIsTheSingleCommandWithItsMaskAndBox)
{
    const LabelCase& c = GetParam();
    Scene scene;
    std::vector<std::string> args = {c.measurement,   scene.image, "--labels",
                                     scene.labelFile, "--format",  "jsonl"};
    if (c.withMask) {
        args.push_back("--mask");
        args.push_back(scene.mask);
    }
    const auto result = cli(args);
    std::vector<json> rows;
    std::istringstream lines(result.out);
    for (std::string line; std::getline(lines, line);)
        rows.push_back(json::parse(line));

    // Objects by brute force, in ascending label order.
    std::map<unsigned, std::array<std::int64_t, 5>> expected;  // left, top, right, bottom, area
    for (std::uint32_t y = 0; y < kHeight; ++y)
        for (std::uint32_t x = 0; x < kWidth; ++x)
            if (const unsigned v = scene.labels[y * kWidth + x]; v != 0) {
                auto [at, added] = expected.try_emplace(v, std::array<std::int64_t, 5>{x, y, x, y, 0});
                auto& e = at->second;
                e = {std::min<std::int64_t>(e[0], x), std::min<std::int64_t>(e[1], y),
                     std::max<std::int64_t>(e[2], x), std::max<std::int64_t>(e[3], y), e[4] + 1};
            }
    ASSERT_EQ(rows.size(), expected.size()) << result.err;
    bool anyFailed = false;
    std::size_t k = 0;
    for (const auto& [label, e] : expected) {
        const json& row = rows[k++];
        const json bbox = {e[0], e[1], e[2] - e[0] + 1, e[3] - e[1] + 1};
        EXPECT_EQ(row["label"], label);
        EXPECT_EQ(row["bbox"], bbox);
        EXPECT_EQ(row["area"], e[4]);
        EXPECT_EQ(row["path"], scene.image);
        const std::string region =
            bbox[0].dump() + "," + bbox[1].dump() + "," + bbox[2].dump() + "," + bbox[3].dump();
        const auto single = cli({c.measurement, scene.image, "--mask", scene.objectMask(label, c.withMask),
                                 "--region", region, "--json"});
        if (single.exitStatus != 0) {
            anyFailed = true;
            EXPECT_EQ(row["status"], "error") << label;
            EXPECT_EQ(row["error"], lastLine(single.err)) << label;
            continue;
        }
        EXPECT_EQ(row["status"], "ok") << label;
        const json one = json::parse(single.out);
        for (const auto& [key, value] : one.items())
            EXPECT_EQ(row[key], value) << label << " " << key;
    }
    EXPECT_EQ(result.exitStatus, anyFailed ? 1 : 0);
}

INSTANTIATE_TEST_SUITE_P(Cli, LabelledObjects,
                         ::testing::Values(LabelCase{"black", false}, LabelCase{"nonblack", true},
                                           LabelCase{"gray", false}, LabelCase{"black", true},
                                           LabelCase{"lacunarity", true}, LabelCase{"multifractal", false}),
                         [](const auto& info) {
                             return info.param.measurement + (info.param.withMask ? "Masked" : "");
                         });

// Under a mask the counts are those of the image whose pixels outside are
// white, and the coverage is taken over the mask's area.
TEST(MaskOption, CountsAreThoseOfTheImageWhitenedOutside)
{
    Scene scene;
    const std::string whitened = scene.folder.file("whitened.png");
    testing::writeGreyPng(whitened, Scene::grey(SampleType::UInt8, [&](std::size_t i) {
                              return scene.inside[i] ? scene.levels[i] : 255u;
                          }));
    const auto masked = cli({"black", scene.image, "--mask", scene.mask, "--region", "3,-2,40,39", "--json"});
    const auto plain = cli({"black", whitened, "--region", "3,-2,40,39", "--json"});
    ASSERT_EQ(masked.exitStatus, 0) << masked.err;
    const json a = json::parse(masked.out), b = json::parse(plain.out);
    EXPECT_EQ(a["counts"], b["counts"]);
    std::int64_t area = 0;
    for (std::int64_t y = 0; y < 37; ++y)
        for (std::int64_t x = 3; x < 43; ++x)
            area += scene.inside[static_cast<std::size_t>(y) * kWidth + static_cast<std::size_t>(x)] ? 1 : 0;
    EXPECT_EQ(a["maskArea"], area);
    EXPECT_DOUBLE_EQ(a["coverage"].get<double>(),
                     a["counts"][0].get<double>() / static_cast<double>(area) * 100.0);
    EXPECT_FALSE(b.contains("maskArea"));
}

TEST(MaskOption, RefusesWrongSizesEmptyLabelsAndMisusedOptions)
{
    Scene scene;
    const std::string small = scene.folder.file("small.png");
    testing::writeGreyPng(small, {5, 4, SampleType::UInt16, [](auto x, auto) { return x * 1000.0; }});
    const std::string empty = scene.folder.file("empty.png");
    testing::writeGreyPng(empty, Scene::grey(SampleType::UInt8, [](std::size_t) { return 0u; }));

    const auto wrongMask = cli({"black", scene.image, "--mask", small});
    EXPECT_EQ(wrongMask.exitStatus, 1);
    EXPECT_EQ(lastLine(wrongMask.err), "マスク " + small + " の大きさが画像と違います.");
    const auto wrongLabels = cli({"gray", scene.image, "--labels", small});
    EXPECT_EQ(wrongLabels.exitStatus, 1);
    EXPECT_EQ(lastLine(wrongLabels.err), "ラベル画像 " + small + " の大きさが画像と違います.");
    const auto none = cli({"black", scene.image, "--labels", empty});
    EXPECT_EQ(none.exitStatus, 2);
    EXPECT_NE(none.err.find("ラベル画像 " + empty + " に物体がありません"), std::string::npos);
    EXPECT_TRUE(none.out.empty());
    for (const auto& args : std::vector<std::vector<std::string>>{
             {"black", scene.image, "--labels", scene.labelFile, "--region", "0,0,9,9"},
             {"gray", scene.image, "--labels", scene.labelFile, "--json"},
             {"nonblack", scene.image, "--format", "csv"},
             {"black", scene.image, "--output", scene.folder.file("x.csv")}})
        EXPECT_EQ(cli(args).exitStatus, 2) << args[2];
}

// CSV rows put label, bbox (L;T;W;H) and area right after error (every
// cell quoted, as batch writes them).
TEST(MaskOption, CsvRowsCarryTheObjectColumnsAfterError)
{
    Scene scene;
    const std::string output = scene.folder.file("rows.csv");
    const auto result = cli({"black", scene.image, "--labels", scene.labelFile, "--output", output});
    EXPECT_TRUE(result.out.empty());
    const auto bytes = testing::readFile(output);
    const std::string text(bytes.begin(), bytes.end());
    EXPECT_EQ(text.rfind("path,status,error,label,bbox,area,width,", 0), 0u) << text.substr(0, 80);
    EXPECT_NE(text.find(R"(,"41","30;2;1;1","1",)"), std::string::npos) << text;
}

}  // namespace
}  // namespace dimora
