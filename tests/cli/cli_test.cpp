// Dimora3 — fractal dimension by box counting.
// SPDX-License-Identifier: MIT

// dimora3-cli run as a user runs it: arguments, exit statuses, standard
// output and error, files written.

#include "run_program.hpp"

#include "cli/progress_bar.hpp"

#include "core/files/bmp_reader.hpp"
#include "core/files/bmp_writer.hpp"
#include "core/files/png_reader.hpp"
#include "core/files/png_test_files.hpp"
#include "core/files/tiff_jpeg_test_files.hpp"
#include "core/image/bitmap.hpp"
#include "core/image/region.hpp"

#include <gtest/gtest.h>
#include <nlohmann/json.hpp>

#include <algorithm>
#include <cmath>
#include <filesystem>
#include <fstream>
#include <sstream>

namespace dimora {
namespace {

namespace fs = std::filesystem;
using nlohmann::json;
using testing::ProgramResult;

class Cli : public ::testing::Test {
protected:
    void SetUp() override
    {
        dir_ = fs::temp_directory_path() /
               ("dimora-cli-" + std::string(::testing::UnitTest::GetInstance()->current_test_info()->name()));
        fs::remove_all(dir_);
        fs::create_directories(dir_);
    }
    void TearDown() override { fs::remove_all(dir_); }

    ProgramResult run(const std::vector<std::string>& args, const std::string& input = {})
    {
        return testing::runProgram(DIMORA_CLI, args, input);
    }

    json runJson(const std::vector<std::string>& args)
    {
        const auto result = run(args);
        EXPECT_EQ(result.exitStatus, 0) << result.err;
        return json::parse(result.out);
    }

    // A white 24-bit image with the given black rectangle, saved as BMP.
    std::string imageFile(const std::string& name, int width, int height, Region black,
                          PixelLayout layout = PixelLayout::rgb24())
    {
        Bitmap image(width, height, layout);
        image.fill(kWhite);
        for (int y = black.top; y < black.top + black.height; ++y)
            for (int x = black.left; x < black.left + black.width; ++x)
                image.setPixel(x, y, kBlack);
        const auto path = (dir_ / name).string();
        saveBmpFile(image, path);
        return path;
    }

    static std::string lastLine(const std::string& text)
    {
        std::string trimmed = text;
        while (!trimmed.empty() && trimmed.back() == '\n')
            trimmed.pop_back();
        const auto nl = trimmed.find_last_of('\n');
        return nl == std::string::npos ? trimmed : trimmed.substr(nl + 1);
    }

    fs::path dir_;
};

TEST_F(Cli, BlackSquareGivesTheResultWindowTextsAndCountList)
{
    const auto path = imageFile("square.bmp", 64, 64, {0, 0, 64, 64});
    const json out = runJson({"black", path, "--json"});
    EXPECT_EQ(out["measurement"], "black");
    EXPECT_EQ(out["region"], json({0, 0, 64, 64}));
    EXPECT_EQ(out["sides"], json({1, 2, 4, 8, 16}));
    EXPECT_EQ(out["counts"], json({4096, 1024, 256, 64, 16}));
    EXPECT_EQ(out["countList"], json({"4096", "1024", "256", "64", "16"}));
    EXPECT_EQ(out["coverage"], 100.0);
    EXPECT_EQ(out["n"], 5);
    EXPECT_NEAR(out["dimension"].get<double>(), 2.0, 1e-12);
    EXPECT_EQ(out["fields"], json({" 64×64", " 100.0", " -1.0000 (5)", " 2.0000"}));
    // counts = 4096 / side²: the line log10 4096 − 2·log10 side, exactly correlated.
    EXPECT_NEAR(out["slope"].get<double>(), -2.0, 1e-12);
    EXPECT_NEAR(out["r"].get<double>(), -1.0, 1e-12);
    EXPECT_NEAR(out["intercept"].get<double>(), std::log10(4096.0), 1e-12);
    // An exact power law: no scatter, so no uncertainty.
    EXPECT_NEAR(out["standardError"].get<double>(), 0.0, 1e-12);
    EXPECT_NEAR(out["ci95"][0].get<double>(), 2.0, 1e-9);
    EXPECT_NEAR(out["ci95"][1].get<double>(), 2.0, 1e-9);
    EXPECT_NEAR(out["rSquared"].get<double>(), 1.0, 1e-12);

    const auto text = run({"black", path});
    EXPECT_EQ(text.exitStatus, 0);
    EXPECT_NE(text.out.find("フラクタル次元 2.0000"), std::string::npos) << text.out;
    EXPECT_NE(text.out.find(" 16  16"), std::string::npos) << text.out;
}

TEST_F(Cli, RegionValuesMayBeginWithAMinusSign)
{
    const auto path = imageFile("square.bmp", 64, 64, {0, 0, 64, 64});
    const json out = runJson({"nonblack", path, "--region", "-7,-5,41,30", "--json"});
    EXPECT_EQ(out["region"], json({-7, -5, 41, 30}));
    // The 7 columns and 5 rows outside the image read as the invalid colour:
    // non-black. (41 × 30 − 34 × 25) / (41 × 30) = 30.89...%.
    EXPECT_EQ(out["fields"][1], " 30.9");
    const json inline_ = runJson({"nonblack", path, "--region=-7,-5,41,30", "--json"});
    EXPECT_EQ(inline_["fields"], out["fields"]);
}

TEST_F(Cli, ZeroReportHasNoFit)
{
    const auto path =
        imageFile("dot.bmp", 1000, 1000, {500, 500, 1, 1}, PixelLayout::indexed(1, {kBlack, kWhite}));
    const json out = runJson({"black", path, "--json"});
    EXPECT_EQ(out["fields"], json({" 1000×1000", " 0", "", " 0"}));
    EXPECT_TRUE(out["countList"].empty());
    EXPECT_FALSE(out.contains("dimension"));
    EXPECT_FALSE(out.contains("n"));
}

TEST_F(Cli, CountsBeyondThirtyTwoBitsAreReadBackByTheRecalculation)
{
    // Outside the 1 × 1 image every pixel is non-black.
    const auto white = imageFile("white.bmp", 1, 1, {0, 0, 0, 0});
    json out = runJson({"nonblack", white, "--region", "0,0,50000,50000", "--json"});
    EXPECT_EQ(out["countList"][0], "2500000000");
    out = runJson({"nonblack", white, "--region", "0,0,65536,65536", "--json"});
    EXPECT_EQ(out["counts"][0], 4294967296LL);
    EXPECT_EQ(out["fields"][2], " -1.0000 (14)");
    EXPECT_EQ(out["fields"][3], " 2.0000");

    for (int i = 1; i <= 3; ++i)
        imageFile(std::to_string(i) + ".bmp", 64, 64, {0, 0, 64, 64});
    out = runJson(
        {"slices", (dir_ / "3.bmp").string(), "--pixel-size", "0.001", "--distance", "1000", "--json"});
    EXPECT_EQ(out["countList"][0], "12288000000");
    EXPECT_EQ(out["fields"][3], " 3.0000");

    // refit takes the whole 64-bit range and nothing beyond it.
    auto result =
        run({"refit", "-", "--json"}, "9223372036854775807\n$7FFFFFFFFFFFFFFF\n0x0000000100000000\n");
    ASSERT_EQ(result.exitStatus, 0) << result.err;
    EXPECT_EQ(json::parse(result.out)["counts"], json({INT64_MAX, INT64_MAX, 4294967296LL}));
    result = run({"refit", "-"}, "9223372036854775808\n16\n");
    EXPECT_EQ(lastLine(result.err), "'9223372036854775808' は整数ではありません.");
    result = run({"refit", "-"}, "12\n$10000000000000000\n");
    EXPECT_EQ(lastLine(result.err), "'$10000000000000000' は整数ではありません.");
}

TEST_F(Cli, EqualCountsAreAnInvalidOperationWhateverTheImageSize)
{
    // Two black dots at opposite corners: two occupied boxes at every side.
    for (const int size : {16, 32, 128}) {
        const auto path = imageFile("dots.bmp", size, size, {0, 0, 1, 1});
        Bitmap image = loadBmpFile(path);
        image.setPixel(size - 1, size - 1, kBlack);
        saveBmpFile(image, path);
        const auto result = run({"black", path});
        EXPECT_EQ(result.exitStatus, 1) << size;
        EXPECT_EQ(lastLine(result.err), "不正な浮動小数点数演算命令.") << size;
    }
    for (const std::string counts : {"2\n2\n2\n", "7\n7\n7\n"}) {
        const auto result = run({"refit", "-"}, counts);
        EXPECT_EQ(lastLine(result.err), "不正な浮動小数点数演算命令.") << counts;
    }
}

TEST_F(Cli, ErrorsEndWithStatusOneAndTheReportText)
{
    const auto small = imageFile("small.bmp", 4, 4, {1, 1, 1, 1});
    auto result = run({"black", small, "--json"});
    EXPECT_EQ(result.exitStatus, 1);
    EXPECT_TRUE(result.out.empty());
    EXPECT_EQ(lastLine(result.err), "不正な浮動小数点数演算命令.");

    const auto missing = (dir_ / "missing.bmp").string();
    result = run({"black", missing});
    EXPECT_EQ(result.exitStatus, 1);
    EXPECT_EQ(lastLine(result.err), "ファイル " + missing + " は開けません.");

    const auto notBmp = (dir_ / "text.bmp").string();
    std::ofstream(notBmp) << "not a bitmap at all";
    result = run({"gray", notBmp});
    EXPECT_EQ(result.exitStatus, 1);
    EXPECT_EQ(lastLine(result.err), "ビットマップイメージが不正です.");
}

TEST_F(Cli, WrongCommandLinesEndWithStatusTwo)
{
    const auto path = imageFile("square.bmp", 8, 8, {0, 0, 8, 8});
    for (const std::vector<std::string>& args :
         std::vector<std::vector<std::string>>{{},
                                               {"measure", path},
                                               {"black"},
                                               {"black", path, path},
                                               {"black", path, "--threshold", "3"},
                                               {"black", path, "--region", "1,2,3"},
                                               {"black", path, "--region", "a,b,c,d"},
                                               {"black", path, "--region"},
                                               {"process", "blur", path, path},
                                               {"refit", "-", "--region", "0,0,1,1"}}) {
        const auto result = run(args);
        EXPECT_EQ(result.exitStatus, 2) << (args.empty() ? "" : args[0]);
        EXPECT_NE(result.err.find("usage:"), std::string::npos);
        EXPECT_TRUE(result.out.empty());
    }
    EXPECT_EQ(run({"--help"}).exitStatus, 0);
    EXPECT_NE(run({"--version"}).out.find("3.33"), std::string::npos);
}

TEST_F(Cli, GrayMeasurementStartsItsCountListWithAnEmptyLine)
{
    const auto path = imageFile("grey.bmp", 64, 64, {0, 0, 0, 0});
    const json out = runJson({"gray", path, "--json"});
    EXPECT_EQ(out["countList"], json({"", "1024", "256", "64", "16"}));
    EXPECT_EQ(out["sides"], json({2, 4, 8, 16}));
    EXPECT_EQ(out["brightness"], 0.0);
    EXPECT_EQ(out["fields"], json({" 64×64", " 0.0", " -1.0000 (4)", " 2.0000"}));
}

TEST_F(Cli, LengthOfALineAndItsScanRectangle)
{
    const auto path = imageFile("line.bmp", 20, 20, {5, 10, 10, 1});
    json out = runJson({"length", path, "--json"});
    EXPECT_EQ(out["region"], json({1, 1, 18, 18}));
    EXPECT_EQ(out["fields"], json({" 9"}));
    EXPECT_EQ(out["length"], 9.0);
    // A selection that cuts the line adds half of the link it crosses.
    out = runJson({"length", path, "--region", "0,0,10,20", "--json"});
    EXPECT_EQ(out["length"], 4.5);
}

TEST_F(Cli, RefitReadsTheCountListFromAFileOrStandardInput)
{
    auto result = run({"refit", "-", "--json"}, "4096\n1024\n256\n64\n16\n");
    ASSERT_EQ(result.exitStatus, 0) << result.err;
    json out = json::parse(result.out);
    EXPECT_EQ(out["sides"], json({1, 2, 4, 8, 16}));
    EXPECT_EQ(out["fields"], json({" -1.0000 (5)", " 2.0000"}));

    // Two counts leave no degree of freedom for the interval.
    result = run({"refit", "-", "--json"}, "100\n30\n");
    out = json::parse(result.out);
    EXPECT_TRUE(out["standardError"].is_null());
    EXPECT_TRUE(out["ci95"].is_null());
    EXPECT_EQ(out["rSquared"], 1.0);
    // Scattered counts: the interval holds the dimension and widens with the scatter.
    result = run({"refit", "-", "--json"}, "1000\n240\n70\n15\n");
    out = json::parse(result.out);
    EXPECT_LT(out["ci95"][0].get<double>(), out["dimension"].get<double>());
    EXPECT_GT(out["ci95"][1].get<double>(), out["dimension"].get<double>());
    EXPECT_GT(out["standardError"].get<double>(), 0.01);

    const auto file = (dir_ / "counts.txt").string();
    std::ofstream(file) << "\n1024\n256\n64\n16";
    out = runJson({"refit", file, "--json"});
    EXPECT_EQ(out["sides"], json({2, 4, 8, 16}));
    EXPECT_EQ(out["fields"], json({" -1.0000 (4)", " 2.0000"}));

    result = run({"refit", "-"}, "12\n 7 \n");
    EXPECT_EQ(result.exitStatus, 1);
    EXPECT_EQ(lastLine(result.err), "' 7 ' は整数ではありません.");
    result = run({"refit", "-"}, "12\n0\n");
    EXPECT_EQ(lastLine(result.err), "0 による浮動小数点数除算.");
}

TEST_F(Cli, ProcessRewritesPixelsAndKeepsTheLayout)
{
    const auto input =
        imageFile("in.bmp", 9, 7, {2, 2, 3, 3}, PixelLayout::indexed(4, {kBlack, 0x808080, kWhite}));
    const auto output = (dir_ / "out.bmp").string();
    auto result = run({"process", "invert", input, output});
    ASSERT_EQ(result.exitStatus, 0) << result.err;
    EXPECT_TRUE(result.out.empty());
    const Bitmap inverted = loadBmpFile(output);
    EXPECT_EQ(inverted.layout(), loadBmpFile(input).layout());
    EXPECT_EQ(inverted.pixel(3, 3), kWhite);
    EXPECT_EQ(inverted.pixel(0, 0), kBlack);

    // A failed command leaves no output behind.
    const auto missingOutput = (dir_ / "never.bmp").string();
    result = run({"process", "median", (dir_ / "nothing.bmp").string(), missingOutput});
    EXPECT_EQ(result.exitStatus, 1);
    EXPECT_FALSE(fs::exists(missingOutput));

    result = run({"process", "green", input, output, "--threshold", "-101"});
    ASSERT_EQ(result.exitStatus, 0) << result.err;
    EXPECT_EQ(loadBmpFile(output).pixel(0, 0), kBlack);
}

TEST_F(Cli, G1FileIsAlways32000Bytes)
{
    const auto input = imageFile("black.bmp", 100, 100, {0, 0, 100, 100});
    const auto output = (dir_ / "out.g1").string();
    const auto result = run({"g1", input, output});
    ASSERT_EQ(result.exitStatus, 0) << result.err;
    std::ifstream in(output, std::ios::binary);
    const std::vector<unsigned char> bytes((std::istreambuf_iterator<char>(in)),
                                           std::istreambuf_iterator<char>());
    ASSERT_EQ(bytes.size(), 32000u);
    EXPECT_EQ(bytes[11], 0xFF);
    EXPECT_EQ(bytes[12], 0xF0);
    EXPECT_EQ(bytes[13], 0x00);
    EXPECT_EQ(bytes[80 * 100], 0x00);
}

TEST_F(Cli, PngInputIsChosenByItsSignature)
{
    const std::string suite = std::string(DIMORA_TEST_DATA) + "/pngsuite/";
    // A PNG file under a .bmp name is still read as PNG.
    const auto renamed = (dir_ / "gray.bmp").string();
    fs::copy_file(suite + "basn0g08.png", renamed);
    auto result = run({"gray", renamed, "--json"});
    EXPECT_EQ(result.exitStatus, 0) << result.err;

    result = run({"black", suite + "xc1n0g08.png"});
    EXPECT_EQ(result.exitStatus, 1);
    EXPECT_EQ(lastLine(result.err), "Error Reading File!");
}

TEST_F(Cli, TiffAndJpegGiveTheNumbersOfTheSameBmp)
{
    // The same black square as a BMP, an 8-bit gray TIFF (second page of two)
    // and a gray JPEG: every measurement and process output agrees.
    const auto bmp = imageFile("square.bmp", 64, 48, {8, 4, 32, 32});
    const Bitmap image = loadBmpFile(bmp);
    const auto sample = [&](std::uint32_t x, std::uint32_t y, unsigned) {
        return redOf(image.pixel(static_cast<std::int32_t>(x), static_cast<std::int32_t>(y)));
    };
    testing::TiffPage page;
    page.width = 64;
    page.height = 48;
    page.compression = COMPRESSION_LZW;
    page.sample = sample;
    testing::TiffPage blank = page;
    blank.sample = [](auto, auto, auto) { return 255u; };
    const auto tiff = (dir_ / "square.tif").string();
    testing::writeFile(tiff, testing::encodeTiff({false, false, {blank, page}}));
    const auto jpeg = (dir_ / "square.jpg").string();
    testing::writeFile(jpeg, testing::encodeJpeg(64, 48, 1, false, sample));

    const json expected = runJson({"black", bmp, "--json"});
    EXPECT_EQ(runJson({"black", tiff, "--page", "2", "--json"})["fields"], expected["fields"]);
    EXPECT_EQ(runJson({"black", tiff, "--json"})["fields"][1], " 0");
    EXPECT_EQ(runJson({"length", tiff, "--page=2", "--json"})["length"],
              runJson({"length", bmp, "--json"})["length"]);
    // JPEG rounding moves grey levels near the square's edges, not its inside.
    EXPECT_EQ(runJson({"gray", jpeg, "--json"})["region"], expected["region"]);

    auto result = run({"black", tiff, "--page", "3"});
    EXPECT_EQ(result.exitStatus, 1);
    EXPECT_EQ(lastLine(result.err), "画像ファイル " + tiff + " を読み込めません.");
    result = run({"black", bmp, "--page", "2"});
    EXPECT_EQ(lastLine(result.err), "画像ファイル " + bmp + " を読み込めません.");
    EXPECT_EQ(run({"black", tiff, "--page", "0"}).exitStatus, 2);

    // process writes PNG by the output's extension, BMP otherwise.
    const auto png = (dir_ / "out.PNG").string();
    ASSERT_EQ(run({"process", "invert", tiff, png, "--page", "2"}).exitStatus, 0);
    const Bitmap inverted = decodePng(testing::readFile(png));
    EXPECT_EQ(inverted.pixel(8, 4), kWhite);
    EXPECT_EQ(inverted.pixel(0, 0), kBlack);
    const auto out = (dir_ / "out.bmp").string();
    ASSERT_EQ(run({"process", "invert", tiff, out, "--page", "2"}).exitStatus, 0);
    EXPECT_EQ(loadBmpFile(out).layout().bitsPerPixel(), 8);
    EXPECT_EQ(run({"g1", jpeg, (dir_ / "out.g1").string()}).exitStatus, 0);
}

TEST_F(Cli, JpegCutOrDamagedIsRefused)
{
    // A textured colour JPEG, baseline and progressive, cut inside its data
    // and at each marker after its first scan, bare and (inside the data)
    // closed by an end marker, and with stray bytes before its end: every
    // measurement ends with the reading error, never with grey measured in.
    const auto texture = [](std::uint32_t x, std::uint32_t y, unsigned s) {
        return (x * x * 7 + y * 31 + s * 90 + (x ^ y) * 13) % 256;
    };
    for (const bool progressive : {false, true}) {
        const auto bytes = testing::encodeJpeg(96, 64, 3, progressive, texture);
        const auto marker = [&](std::size_t i) {
            return bytes[i] == 0xFF && bytes[i + 1] != 0 && (bytes[i + 1] < 0xD0 || bytes[i + 1] > 0xD7);
        };
        std::size_t firstScan = 0;
        while (!(marker(firstScan) && bytes[firstScan + 1] == 0xDA))
            ++firstScan;
        std::vector<std::vector<std::uint8_t>> damaged;
        for (std::size_t i = firstScan + 2; i + 1 < bytes.size(); ++i)
            if (marker(i))
                damaged.emplace_back(bytes.begin(), bytes.begin() + static_cast<std::ptrdiff_t>(i));
        for (std::size_t k = 1; k < 6; ++k) {
            const std::size_t length = firstScan + (bytes.size() - firstScan) * k / 6;
            if (marker(length) || marker(length - 1))
                continue;
            damaged.emplace_back(bytes.begin(), bytes.begin() + static_cast<std::ptrdiff_t>(length));
            damaged.push_back(damaged.back());
            damaged.back().insert(damaged.back().end(), {0xFF, 0xD9});
        }
        damaged.push_back(bytes);
        damaged.back().insert(damaged.back().end() - 2, 24, 0x55);

        const auto path = (dir_ / "cut.jpg").string();
        testing::writeFile(path, bytes);
        const auto whole = run({"gray", path});
        ASSERT_EQ(whole.exitStatus, 0) << whole.err;
        for (std::size_t d = 0; d < damaged.size(); ++d) {
            testing::writeFile(path, damaged[d]);
            for (const std::string measurement : {"black", "gray"}) {
                const auto result = run({measurement, path});
                EXPECT_EQ(result.exitStatus, 1) << progressive << " " << d << " " << measurement;
                EXPECT_EQ(lastLine(result.err), "画像ファイル " + path + " を読み込めません.")
                    << progressive << " " << d << " " << measurement;
            }
        }
    }
}

TEST_F(Cli, BatchRowsAreTheSingleRunsInOrderWhateverTheJobs)
{
    fs::create_directories(dir_ / "leaves" / "deeper");
    const auto a = imageFile("leaves/b.bmp", 40, 30, {0, 0, 20, 20});
    const auto b = imageFile("leaves/a,\"quoted\".bmp", 64, 64, {3, 5, 40, 33});
    const auto deep = imageFile("leaves/deeper/c.bmp", 32, 32, {0, 0, 32, 32});
    std::ofstream((dir_ / "leaves" / "broken.bmp").string()) << "not an image";
    std::ofstream((dir_ / "leaves" / "notes.txt").string()) << "skipped";
    const auto named = imageFile("named.bmp", 16, 16, {0, 0, 8, 8});
    const auto folder = (dir_ / "leaves").string();

    // A file named first, then the folder's image files in sorted order.
    auto result = run({"batch", "black", named, folder, "--format", "jsonl", "--jobs", "1"});
    EXPECT_EQ(result.exitStatus, 1);
    std::vector<json> rows;
    std::istringstream lines(result.out);
    for (std::string line; std::getline(lines, line);)
        rows.push_back(json::parse(line));
    ASSERT_EQ(rows.size(), 4u);
    const std::vector<std::string> order = {named, b, (dir_ / "leaves" / "b.bmp").string(),
                                            (dir_ / "leaves" / "broken.bmp").string()};
    for (std::size_t i = 0; i < rows.size(); ++i)
        EXPECT_EQ(rows[i]["path"], order[i]);
    for (const std::size_t i : {0, 1, 2}) {
        json single = runJson({"black", order[i], "--json"});
        single["path"] = order[i];
        single["status"] = "ok";
        EXPECT_EQ(rows[i], single) << order[i];
    }
    EXPECT_EQ(rows[3]["status"], "error");
    EXPECT_EQ(rows[3]["error"], "ビットマップイメージが不正です.");

    // Two jobs write the same bytes; --recursive adds the subfolder.
    EXPECT_EQ(run({"batch", "black", named, folder, "--format", "jsonl", "--jobs", "2"}).out, result.out);
    const auto recursive = run({"batch", "length", folder, "--recursive", "--jobs", "2"});
    EXPECT_NE(recursive.out.find(deep), std::string::npos);

    // CSV: a header, RFC 4180 quoting, one line per file; written through --output.
    const auto csv = (dir_ / "rows.csv").string();
    result = run({"batch", "nonblack", folder, "--output", csv});
    EXPECT_EQ(result.exitStatus, 1);
    EXPECT_TRUE(result.out.empty());
    std::ifstream in(csv);
    const std::string text((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    EXPECT_EQ(text.rfind("path,status,error,width,height,coverage,", 0), 0u);
    EXPECT_NE(text.find("\"" + folder + "/a,\"\"quoted\"\".bmp\",\"ok\",\"\",\"64\",\"64\","),
              std::string::npos)
        << text;
    EXPECT_EQ(std::count(text.begin(), text.end(), '\n'), 4);

    // All good is 0; nothing to measure is 2.
    EXPECT_EQ(run({"batch", "gray", named, a}).exitStatus, 0);
    fs::create_directories(dir_ / "empty");
    EXPECT_EQ(run({"batch", "black", (dir_ / "empty").string()}).exitStatus, 2);
    EXPECT_EQ(run({"batch", "slices", named}).exitStatus, 2);
}

TEST(ProgressBar, ShowsDoneRateAndTimeLeftAndNothingWhenHidden)
{
    EXPECT_EQ(cli::ProgressBar::line(100, 400, 4.0),
              "[#######-----------------------] 100/400 files  25.0 files/s  0:12 left");
    EXPECT_EQ(cli::ProgressBar::line(400, 400, 8.0),
              "[##############################] 400/400 files  50.0 files/s");
    EXPECT_EQ(cli::ProgressBar::line(1, 4, 2.0, "slices"),
              "[#######-----------------------] 1/4 slices  0.5 slices/s  0:06 left");
    std::ostringstream hidden;
    cli::ProgressBar bar(hidden, 10, cli::BarVisibility::Hidden);
    bar.show(5);
    bar.finish();
    EXPECT_TRUE(hidden.str().empty());
}

TEST_F(Cli, SlicesSumTheSeriesThatTheLastFileEnds)
{
    for (int i = 1; i <= 3; ++i)
        imageFile(std::to_string(i) + ".bmp", 64, 64, {0, 0, 64, 64});
    json out = runJson({"slices", (dir_ / "3.bmp").string(), "--json"});
    EXPECT_EQ(out["countList"], json({"12288", "1536", "192", "24", "3"}));
    EXPECT_EQ(out["fields"], json({" 64×64", " 100.0", " -1.0000 (5)", " 3.0000"}));
    EXPECT_EQ(out["slices"], 3);
    EXPECT_EQ(out["spacing"], 1);
    EXPECT_EQ(out["lastFile"], (dir_ / "3.bmp").string());

    out =
        runJson({"slices", (dir_ / "3.bmp").string(), "--pixel-size", "0.1", "--distance", "0.2", "--json"});
    EXPECT_EQ(out["countList"], json({"24576", "3072", "384", "48", "6"}));
    EXPECT_EQ(out["spacing"], 2);

    const auto result = run({"slices", (dir_ / "3.bmp").string(), "--pixel-size", "0"});
    EXPECT_EQ(lastLine(result.err), "'' は浮動小数点数ではありません.");

    // A folder name that is not UTF-8 still gives a JSON report.
    const fs::path oddFolder = dir_ / std::string("\xff\xfe");
    fs::create_directories(oddFolder);
    for (int i = 1; i <= 3; ++i)
        fs::copy_file(dir_ / (std::to_string(i) + ".bmp"), oddFolder / (std::to_string(i) + ".bmp"));
    out = runJson({"slices", (oddFolder / "3.bmp").string(), "--json"});
    EXPECT_EQ(out["countList"][0], "12288");
    EXPECT_NE(out["lastFile"].get<std::string>().find("\xEF\xBF\xBD"), std::string::npos);
}

TEST_F(Cli, CubesCountBoxesOverTheSlicesOfTheirVoxelDepth)
{
    // Eight solid 32 × 32 slices: a solid block 32 × 32 × 8.
    for (int i = 1; i <= 8; ++i)
        imageFile("slice" + std::to_string(i) + ".bmp", 32, 32, {0, 0, 32, 32});
    json out = runJson({"cubes", dir_.string(), "--json"});
    EXPECT_EQ(out["measurement"], "cubes");
    EXPECT_EQ(out["sides"], json({1, 2}));  // k(4) = 4 is not under 8 / 2
    EXPECT_EQ(out["counts"], json({8192, 1024}));
    EXPECT_EQ(out["countList"], json({"8192", "1024"}));
    EXPECT_EQ(out["voxel"], json({1.0, 1.0, 1.0}));
    EXPECT_EQ(out["slicesPerBox"], json({1, 2}));
    EXPECT_EQ(out["slices"], 8);
    EXPECT_EQ(out["lastFile"], (dir_ / "slice8.bmp").string());
    EXPECT_EQ(out["fields"], json({" 32×32", " 100.0", " -1.0000 (2)", " 3.0000"}));
    EXPECT_TRUE(out["standardError"].is_null());

    // Slices four times as far apart as the pixels: boxes one slice deep up
    // to side 4, so N(s) = (32 / s)² × 8, and two from side 8.
    out = runJson({"cubes", dir_.string(), "--voxel", "0.5,0.5,2", "--region", "0,0,32,32", "--json"});
    EXPECT_EQ(out["sides"], json({1, 2, 4, 8}));
    EXPECT_EQ(out["slicesPerBox"], json({1, 1, 1, 2}));
    EXPECT_EQ(out["counts"], json({8192, 2048, 512, 64}));

    // The voxel's decimals are taken as written: 0.3 / 0.2 is 1.5, rounded up.
    out = runJson({"cubes", dir_.string(), "--voxel", "0.3,0.3,0.2", "--json"});
    EXPECT_EQ(out["sides"], json({1, 2}));
    EXPECT_EQ(out["slicesPerBox"], json({2, 3}));
    EXPECT_EQ(out["counts"], json({32 * 32 * 4, 16 * 16 * 3}));

    const auto text = run({"cubes", dir_.string(), "--voxel", "3,3,1"});
    EXPECT_EQ(text.exitStatus, 1);
    EXPECT_EQ(lastLine(text.err), "不正な浮動小数点数演算命令.");

    imageFile("slice9.bmp", 32, 31, {0, 0, 1, 1});
    const auto mismatch = run({"cubes", dir_.string()});
    EXPECT_EQ(mismatch.exitStatus, 1);
    EXPECT_EQ(lastLine(mismatch.err),
              "スライス " + (dir_ / "slice9.bmp").string() + " の大きさが最初のスライスと違います.");

    // A slice that cannot be read is named, with its number.
    fs::resize_file(dir_ / "slice9.bmp", 20);
    const auto unreadable = run({"cubes", dir_.string()});
    EXPECT_EQ(unreadable.exitStatus, 1);
    EXPECT_EQ(lastLine(unreadable.err),
              "スライス " + (dir_ / "slice9.bmp").string() + " (9 枚目) を読み込めません.");

    for (const std::string voxel : {"1,2,1", "1,1", "1,1,0", "1,1,-1", "1,1,x", "1,1,1,1", "1,1,inf"}) {
        const auto result = run({"cubes", dir_.string(), "--voxel", voxel});
        EXPECT_EQ(result.exitStatus, 2) << voxel;
        EXPECT_NE(result.err.find("usage:"), std::string::npos);
    }
}

}  // namespace
}  // namespace dimora
