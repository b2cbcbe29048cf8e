// Dimora3 — fractal dimension by box counting.
// SPDX-License-Identifier: MIT

// dimora3-cli lacunarity and multifractal: their JSON keys and values, the
// grey mass read at full depth, batch's rows and columns, and their errors.

#include "run_program.hpp"

#include "core/common/error.hpp"
#include "core/files/bmp_writer.hpp"
#include "core/files/sample_reader.hpp"
#include "core/files/sample_test_files.hpp"
#include "core/measure/mass_messages.hpp"
#include "core/measure/mass_test_images.hpp"

#include <gtest/gtest.h>
#include <nlohmann/json.hpp>

#include <cmath>
#include <filesystem>
#include <set>
#include <sstream>

namespace dimora {
namespace {

namespace fs = std::filesystem;
using nlohmann::json;

class MassCommands : public ::testing::Test {
protected:
    void SetUp() override
    {
        std::string name = ::testing::UnitTest::GetInstance()->current_test_info()->name();
        for (char& c : name)
            c = c == '/' ? '_' : c;
        dir_ = fs::temp_directory_path() / ("dimora-mass-" + name);
        fs::remove_all(dir_);
        fs::create_directories(dir_);
        carpet_ = (dir_ / "carpet.bmp").string();
        saveBmpFile(testing::sierpinskiCarpet(5), carpet_);
        // The 512² cascade of weights 0.1 … 0.4 as 16-bit grey.
        cascade_ = (dir_ / "cascade.png").string();
        const SamplePlane plane = testing::binomialCascade(9, {1, 2, 3, 4}, SampleType::UInt16);
        testing::writeGreyPng(cascade_, {512, 512, SampleType::UInt16, [&](std::uint32_t x, std::uint32_t y) {
                                             return plane.value(static_cast<std::int32_t>(x),
                                                                static_cast<std::int32_t>(y));
                                         }});
    }
    void TearDown() override { fs::remove_all(dir_); }

    testing::ProgramResult run(const std::vector<std::string>& args)
    {
        return testing::runProgram(DIMORA_CLI, args);
    }

    static std::set<std::string> keysOf(const json& object)
    {
        std::set<std::string> keys;
        for (const auto& [key, value] : object.items())
            keys.insert(key);
        return keys;
    }

    fs::path dir_;
    std::string carpet_, cascade_;
};

const std::set<std::string> kLacunarityKeys{"measurement", "region",     "method", "empty",
                                            "sides",       "lacunarity", "slope",  "standardError"};
const std::set<std::string> kMultifractalKeys{"measurement",
                                              "region",
                                              "mass",
                                              "sides",
                                              "q",
                                              "Dq",
                                              "tau",
                                              "alpha",
                                              "f",
                                              "DqStandardError",
                                              "alphaStandardError",
                                              "fStandardError",
                                              "rSquared"};

TEST_F(MassCommands, LacunarityWritesTheCarpetsExactValuesUnderItsKeys)
{
    const auto result =
        run({"lacunarity", carpet_, "--method", "grid", "--sides", "1,3,9,27,81,243", "--json"});
    ASSERT_EQ(result.exitStatus, 0) << result.err;
    const json out = json::parse(result.out);
    EXPECT_EQ(keysOf(out), kLacunarityKeys);
    EXPECT_EQ(out["measurement"], "lacunarity");
    EXPECT_EQ(out["method"], "grid");
    EXPECT_EQ(out["empty"], "include");
    EXPECT_EQ(out["region"], json::array({0, 0, 243, 243}));
    EXPECT_EQ(out["sides"], json::array({1, 3, 9, 27, 81, 243}));
    for (int k = 0; k <= 5; ++k)
        EXPECT_EQ(out["lacunarity"][k].get<double>(), std::pow(9.0, 5 - k) / std::pow(8.0, 5 - k)) << k;
    EXPECT_NEAR(out["slope"].get<double>(), -std::log(9.0 / 8) / std::log(3.0), 1e-12);

    const json gliding = json::parse(run({"lacunarity", carpet_, "--region", "1,2,100,90", "--json"}).out);
    EXPECT_EQ(gliding["method"], "gliding");
    EXPECT_EQ(gliding["region"], json::array({1, 2, 100, 90}));
    EXPECT_EQ(gliding["sides"], json::array({1, 2, 4, 8, 16, 32}));
}

TEST_F(MassCommands, MultifractalReadsTheGreyMassAtFullDepth)
{
    const auto result = run({"multifractal", cascade_, "--mass", "gray", "--q", "0,1,2", "--json"});
    ASSERT_EQ(result.exitStatus, 0) << result.err;
    const json out = json::parse(result.out);
    EXPECT_EQ(keysOf(out), kMultifractalKeys);
    EXPECT_EQ(out["mass"], "gray");
    EXPECT_EQ(out["q"], json::array({0, 1, 2}));
    EXPECT_EQ(out["sides"], json::array({1, 2, 4, 8, 16, 32, 64, 128}));
    EXPECT_NEAR(out["Dq"][0].get<double>(), 2, 1e-12);
    EXPECT_NEAR(out["Dq"][1].get<double>(), 1.8464, 2e-3);
    EXPECT_NEAR(out["Dq"][2].get<double>(), 1.7370, 2e-3);
    EXPECT_EQ(out["tau"][1], 0);

    // The black mass of the same file reads every pixel that is not black
    // as empty; the fitted range narrows the sides.
    const json ranged = json::parse(run({"multifractal", carpet_, "--range", "2-16", "--json"}).out);
    EXPECT_EQ(ranged["mass"], "black");
    EXPECT_EQ(ranged["sides"], json::array({2, 4, 8, 16}));
    EXPECT_EQ(ranged["q"].size(), 41u);
}

TEST_F(MassCommands, BatchWritesTheSingleCommandsKeysAndItsColumns)
{
    for (const std::string measurement : {"lacunarity", "multifractal"}) {
        const auto lines =
            run({"batch", measurement, carpet_, (dir_ / "missing.bmp").string(), "--format", "jsonl"});
        EXPECT_EQ(lines.exitStatus, 1) << lines.err;
        std::istringstream rows(lines.out);
        std::string first, second;
        std::getline(rows, first);
        std::getline(rows, second);
        const json row = json::parse(first);
        std::set<std::string> expected = measurement == "lacunarity" ? kLacunarityKeys : kMultifractalKeys;
        expected.insert({"path", "status"});
        EXPECT_EQ(keysOf(row), expected) << measurement;
        const json single = json::parse(run({measurement, carpet_, "--json"}).out);
        for (const auto& [key, value] : single.items())
            EXPECT_EQ(row[key], value) << measurement << " " << key;
        EXPECT_EQ(json::parse(second)["status"], "error");

        const auto csv = run({"batch", measurement, carpet_, "--format", "csv"});
        ASSERT_EQ(csv.exitStatus, 0) << csv.err;
        const std::string header = csv.out.substr(0, csv.out.find("\r\n"));
        EXPECT_EQ(header,
                  measurement == "lacunarity"
                      ? "path,status,error,width,height,method,empty,slope,standardError,sides,lacunarity"
                      : "path,status,error,width,height,mass,sides,q,Dq,tau,alpha,f,DqStandardError,"
                        "alphaStandardError,fStandardError,rSquared");
        // The sides joined by ';' as the JSON lists them.
        EXPECT_NE(csv.out.find(measurement == "lacunarity" ? "\"1;2;4;8;16;32;64\"" : "\"1;2;4;8;16;32\""),
                  std::string::npos)
            << csv.out;
    }
}

// A mask leaves out the left half: both commands measure as if that half were
// white, and name the mask's area.
TEST_F(MassCommands, MaskLeavesItsOutsideUnoccupied)
{
    const std::string mask = (dir_ / "mask.png").string();
    testing::writeGreyPng(mask, {243, 243, SampleType::UInt8,
                                 [](std::uint32_t x, std::uint32_t) { return x < 120 ? 0.0 : 255.0; }});
    Bitmap halved = testing::sierpinskiCarpet(5);
    for (int y = 0; y < 243; ++y)
        for (int x = 0; x < 120; ++x)
            halved.setPixel(x, y, kWhite);
    const std::string halvedFile = (dir_ / "halved.bmp").string();
    saveBmpFile(halved, halvedFile);
    for (const std::string measurement : {"lacunarity", "multifractal"}) {
        const auto masked = run({measurement, carpet_, "--mask", mask, "--region", "0,0,200,243", "--json"});
        ASSERT_EQ(masked.exitStatus, 0) << masked.err;
        json out = json::parse(masked.out);
        EXPECT_EQ(out["maskArea"], 80 * 243) << measurement;
        out.erase("maskArea");
        EXPECT_EQ(out, json::parse(run({measurement, halvedFile, "--region", "0,0,200,243", "--json"}).out))
            << measurement;
    }
}

struct FailureCase {
    const char* name;
    std::vector<std::string> args;  // "{carpet}", "{white}", "{cascade}" stand for the files
    int exitStatus;
    std::string lastLine;  // exit 1: standard error's last line
};

class MassCommandFailures : public MassCommands, public ::testing::WithParamInterface<FailureCase> {};

TEST_P(MassCommandFailures, EndWithTheirStatusAndMessage)
{
    const std::string white = (dir_ / "white.bmp").string();
    Bitmap image(20, 20, PixelLayout::rgb24());
    image.fill(kWhite);
    saveBmpFile(image, white);
    std::vector<std::string> args;
    for (std::string arg : GetParam().args)
        args.push_back(arg == "{carpet}"    ? carpet_
                       : arg == "{white}"   ? white
                       : arg == "{cascade}" ? cascade_
                                            : arg);
    const auto result = run(args);
    EXPECT_EQ(result.exitStatus, GetParam().exitStatus) << result.err;
    EXPECT_TRUE(result.out.empty());
    if (GetParam().exitStatus == 1) {
        std::string err = result.err;
        while (!err.empty() && err.back() == '\n')
            err.pop_back();
        std::string message = GetParam().lastLine;
        const auto at = message.find("{carpet}");
        if (at != std::string::npos)
            message.replace(at, 8, carpet_);
        EXPECT_EQ(err.substr(err.rfind('\n') + 1), errorReportText(message));
    }
}

INSTANTIATE_TEST_SUITE_P(
    Cases, MassCommandFailures,
    ::testing::Values(
        FailureCase{"white_lacunarity", {"lacunarity", "{white}"}, 1, std::string(msg::kNoOccupiedPixel)},
        FailureCase{"white_multifractal", {"multifractal", "{white}"}, 1, std::string(msg::kNoOccupiedPixel)},
        FailureCase{"side_past_region",
                    {"lacunarity", "{carpet}", "--sides", "2,244"},
                    1,
                    formatMessage(msg::kBoxDoesNotFit, "244")},
        FailureCase{"colour_as_grey",
                    {"multifractal", "{carpet}", "--mass", "gray"},
                    1,
                    formatMessage(msg::kNotGreyImage, "{carpet}")},
        FailureCase{"one_side_in_range",
                    {"multifractal", "{cascade}", "--range", "4-7"},
                    1,
                    std::string(msg::kInvalidFloatOperation)},
        FailureCase{"auto_range", {"multifractal", "{carpet}", "--range", "auto"}, 2, ""},
        FailureCase{"batch_auto_range", {"batch", "multifractal", "{carpet}", "--range", "auto"}, 2, ""},
        FailureCase{"empty_with_gliding", {"lacunarity", "{carpet}", "--empty", "exclude"}, 2, ""},
        FailureCase{"bad_method", {"lacunarity", "{carpet}", "--method", "box"}, 2, ""},
        FailureCase{"side_zero", {"lacunarity", "{carpet}", "--sides", "0,2"}, 2, ""},
        FailureCase{"bad_q", {"multifractal", "{carpet}", "--q", "1:0:1"}, 2, ""},
        FailureCase{"bad_mass", {"multifractal", "{carpet}", "--mass", "red"}, 2, ""},
        FailureCase{"q_for_lacunarity", {"lacunarity", "{carpet}", "--q", "1"}, 2, ""},
        FailureCase{"batch_sides_for_black", {"batch", "black", "{carpet}", "--sides", "1"}, 2, ""}),
    [](const ::testing::TestParamInfo<FailureCase>& info) { return std::string(info.param.name); });

}  // namespace
}  // namespace dimora
