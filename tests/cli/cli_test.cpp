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
        // A parameterised test's name holds a "/": one folder per case all the same.
        std::string name = ::testing::UnitTest::GetInstance()->current_test_info()->name();
        std::replace(name.begin(), name.end(), '/', '_');
        dir_ = fs::temp_directory_path() / ("dimora-cli-" + name);
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

    // The Sierpinski gasket of 512 pixels (pixel (x, y) of it black when
    // x AND y is 0) with its corner at (left, top) of a 700 × 700 image: 3^(9 − k)
    // boxes of side 2^k on a grid that meets its corner.
    std::string gasketFile(const std::string& name, int left, int top)
    {
        Bitmap image(700, 700, PixelLayout::indexed(1, {kBlack, kWhite}));
        for (int y = 0; y < 700; ++y)
            for (int x = 0; x < 700; ++x) {
                const int gx = x - left, gy = y - top;
                const bool inside = gx >= 0 && gy >= 0 && gx < 512 && gy < 512 && (gx & gy) == 0;
                image.setPixel(x, y, inside ? kBlack : kWhite);
            }
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

// --grid and --range over the commands: which take them, and the keys their
// JSON objects gain.
struct OptionCase {
    std::string name;
    std::vector<std::string> args;  // IMAGE, LIST and STACK stand for the files made below
    int exitStatus = 0;
    std::vector<std::string> present = {};
    std::vector<std::string> absent = {};
};

std::ostream& operator<<(std::ostream& out, const OptionCase& c)
{
    return out << c.name;
}

class GridAndRange : public Cli, public ::testing::WithParamInterface<OptionCase> {};

TEST_P(GridAndRange, AreTakenWhereTheyApplyAndAddTheirKeys)
{
    const OptionCase& c = GetParam();
    const auto image = gasketFile("gasket.bmp", 0, 0);
    const auto list = (dir_ / "counts.txt").string();
    std::ofstream(list) << "\n1024\n256\n64\n16\n";
    fs::create_directories(dir_ / "stack");
    for (int i = 1; i <= 8; ++i)
        imageFile("stack/" + std::to_string(i) + ".bmp", 32, 32, {0, 0, 32, 16});
    std::vector<std::string> args;
    for (const std::string& arg : c.args)
        args.push_back(arg == "IMAGE"   ? image
                       : arg == "LIST"  ? list
                       : arg == "STACK" ? (dir_ / "stack").string()
                                        : arg);

    const auto result = run(args);
    ASSERT_EQ(result.exitStatus, c.exitStatus) << result.err;
    if (c.exitStatus == 2) {
        EXPECT_NE(result.err.find("usage:"), std::string::npos);
        EXPECT_TRUE(result.out.empty());
        return;
    }
    const json out = json::parse(result.out);
    for (const std::string& key : c.present)
        EXPECT_TRUE(out.contains(key)) << key;
    for (const std::string& key : c.absent)
        EXPECT_FALSE(out.contains(key)) << key;
    if (out.contains("range")) {
        // The range is that of the fitted sides; a local slope for every two
        // consecutive sides measured, fitted or not.
        EXPECT_EQ(out["range"], json({out["sides"].front(), out["sides"].back()}));
        EXPECT_EQ(out["n"], out["sides"].size());
        std::size_t measured = 5 - 1;  // the count list file's non-empty lines
        if (out.contains("countList"))
            measured =
                static_cast<std::size_t>(std::count_if(out["countList"].begin(), out["countList"].end(),
                                                       [](const json& line) { return line != ""; }));
        EXPECT_EQ(out["localSlopes"].size() + 1, measured);
    }
    if (out.contains("offsets")) {
        EXPECT_EQ(out["offsets"].size(), out["countList"].size());
    }
}

INSTANTIATE_TEST_SUITE_P(
    Cli, GridAndRange,
    ::testing::Values(OptionCase{"gray has one grid", {"gray", "IMAGE", "--grid", "min"}, 2},
                      OptionCase{"length has no fit", {"length", "IMAGE", "--range", "auto"}, 2},
                      OptionCase{"refit has no grid", {"refit", "LIST", "--grid", "origin"}, 2},
                      OptionCase{"cubes have no grid option", {"cubes", "STACK", "--grid", "min"}, 2},
                      OptionCase{"grid of another name", {"black", "IMAGE", "--grid", "max"}, 2},
                      OptionCase{"range backwards", {"black", "IMAGE", "--range", "64-4"}, 2},
                      OptionCase{"range without its end", {"nonblack", "IMAGE", "--range", "4-"}, 2},
                      OptionCase{"range from side 0", {"black", "IMAGE", "--range", "0-4"}, 2},
                      OptionCase{"batch of gray with a grid", {"batch", "gray", "IMAGE", "--grid", "min"}, 2},
                      OptionCase{
                          "batch of length with a range", {"batch", "length", "IMAGE", "--range", "all"}, 2},
                      OptionCase{"black as it was",
                                 {"black", "IMAGE", "--json"},
                                 0,
                                 {"grid", "range", "localSlopes"},
                                 {"offsets", "rangeRule", "rangeNote"}},
                      OptionCase{"nonblack on the grid of least count",
                                 {"nonblack", "IMAGE", "--grid", "min", "--json"},
                                 0,
                                 {"grid", "offsets", "range", "localSlopes"},
                                 {"rangeRule"}},
                      OptionCase{"black, automatic range",
                                 {"black", "IMAGE", "--range", "auto", "--json"},
                                 0,
                                 {"range", "rangeRule"},
                                 {"offsets"}},
                      OptionCase{"gray over a range",
                                 {"gray", "IMAGE", "--range", "2-32", "--json"},
                                 0,
                                 {"range", "localSlopes"},
                                 {"grid", "offsets", "rangeRule"}},
                      OptionCase{"refit, automatic range",
                                 {"refit", "LIST", "--range", "auto", "--json"},
                                 0,
                                 {"range", "localSlopes", "rangeRule"},
                                 {"grid", "offsets"}},
                      OptionCase{"cubes over a range",
                                 {"cubes", "STACK", "--range", "1-2", "--json"},
                                 0,
                                 {"range", "localSlopes"},
                                 {"grid", "rangeRule"}},
                      OptionCase{"a zero report has no fit to range",
                                 {"black", "IMAGE", "--region", "600,600,100,100", "--grid", "min", "--range",
                                  "auto", "--json"},
                                 0,
                                 {"grid", "offsets"},
                                 {"range", "localSlopes", "rangeRule"}}),
    [](const ::testing::TestParamInfo<OptionCase>& info) { return "case" + std::to_string(info.index); });

TEST_F(Cli, GridOfLeastCountMeasuresTheShiftedGasketExactly)
{
    const double exact = std::log(3.0) / std::log(2.0);
    const auto bmp = gasketFile("shifted.bmp", 93, 141);
    EXPECT_GT(std::abs(runJson({"black", bmp, "--json"})["dimension"].get<double>() - exact), 0.02);

    const json min = runJson({"black", bmp, "--grid", "min", "--json"});
    EXPECT_EQ(min["grid"], "min");
    ASSERT_EQ(min["counts"].size(), 9u);
    for (std::size_t k = 0; k < 9; ++k)
        EXPECT_EQ(min["counts"][k], static_cast<std::int64_t>(std::pow(3, 9 - static_cast<int>(k))));
    EXPECT_NEAR(min["dimension"].get<double>(), exact, 5e-5);
    // Side 8 reaches its least count where a grid line meets the gasket's corner.
    EXPECT_EQ(min["offsets"][3], json({(8 - 93 % 8) % 8, (8 - 141 % 8) % 8}));

    // A TIFF is measured whole on that grid, with the BMP's numbers.
    const Bitmap image = loadBmpFile(bmp);
    testing::TiffPage page;
    page.width = page.height = 700;
    page.compression = COMPRESSION_LZW;
    page.sample = [&](std::uint32_t x, std::uint32_t y, unsigned) {
        return redOf(image.pixel(static_cast<std::int32_t>(x), static_cast<std::int32_t>(y)));
    };
    const auto tiff = (dir_ / "shifted.tif").string();
    testing::writeFile(tiff, testing::encodeTiff({false, false, {page}}));
    const json fromTiff = runJson({"black", tiff, "--grid", "min", "--json"});
    EXPECT_EQ(fromTiff["counts"], min["counts"]);
    EXPECT_EQ(fromTiff["offsets"], min["offsets"]);

    // The text report names the grid only when it is asked for, in a line of its own.
    const std::string plain = run({"black", bmp}).out;
    EXPECT_EQ(plain.find("grid"), std::string::npos);
    std::string origin = run({"black", bmp, "--grid", "origin"}).out;
    const auto line = origin.find("origin grid\n");
    ASSERT_NE(line, std::string::npos) << origin;
    EXPECT_EQ(origin.erase(line, 12), plain);
    EXPECT_NE(run({"nonblack", bmp, "--grid", "min"}).out.find("\nmin grid\n"), std::string::npos);
}

TEST_F(Cli, RangeFitsTheSidesThatRefitFitsFromTheSamePairs)
{
    const auto bmp = gasketFile("shifted.bmp", 93, 141);
    const json ranged = runJson({"black", bmp, "--range", "4-64", "--json"});
    EXPECT_EQ(ranged["sides"], json({4, 8, 16, 32, 64}));
    EXPECT_EQ(ranged["range"], json({4, 64}));
    ASSERT_EQ(ranged["countList"].size(), 9u);  // the whole list stays

    // The same pairs alone, as the count window's list with the others left out.
    std::string lines;
    for (std::size_t k = 0; k < 9; ++k)
        lines += (k >= 2 && k <= 6 ? ranged["countList"][k].get<std::string>() : "") + "\n";
    const auto result = run({"refit", "-", "--json"}, lines);
    ASSERT_EQ(result.exitStatus, 0) << result.err;
    const json refit = json::parse(result.out);
    for (const char* key : {"n", "r", "slope", "intercept", "dimension", "standardError", "ci95", "rSquared"})
        EXPECT_EQ(ranged[key], refit[key]) << key;
    EXPECT_EQ(json({ranged["fields"][2], ranged["fields"][3]}), refit["fields"]);
    EXPECT_NE(ranged["dimension"], runJson({"black", bmp, "--json"})["dimension"]);

    // refit over the whole list with the range gives them too.
    std::string whole;
    for (const auto& line : ranged["countList"])
        whole += line.get<std::string>() + "\n";
    const json refitRanged = json::parse(run({"refit", "-", "--range", "4-64", "--json"}, whole).out);
    EXPECT_EQ(refitRanged["fields"], refit["fields"]);
    EXPECT_EQ(refitRanged["sides"], ranged["sides"]);
    EXPECT_NE(run({"black", bmp, "--range", "4-64"}).out.find("\nrange 4–64\n"), std::string::npos);

    // Fewer than two sides in range: the fit's own failure.
    const auto single = run({"black", bmp, "--range", "5-7"});
    EXPECT_EQ(single.exitStatus, 1);
    EXPECT_EQ(lastLine(single.err), "不正な浮動小数点数演算命令.");
}

TEST_F(Cli, AutomaticRangeWithoutAPlateauFitsEverySideAndSaysSo)
{
    // Local slopes 0.5, 2.5, 0.5, 2.5: no three sides lie on one line.
    const std::string zigzag = "10000\n7071\n1250\n884\n156\n";
    const json out = json::parse(run({"refit", "-", "--range", "auto", "--json"}, zigzag).out);
    EXPECT_EQ(out["range"], json({1, 16}));
    EXPECT_EQ(out["n"], 5);
    EXPECT_TRUE(out.contains("rangeNote"));
    EXPECT_EQ(out["fields"], json::parse(run({"refit", "-", "--json"}, zigzag).out)["fields"]);
    const auto text = run({"refit", "-", "--range", "auto"}, zigzag);
    EXPECT_EQ(text.exitStatus, 0);
    EXPECT_NE(text.err.find("note: no run of three sides"), std::string::npos) << text.err;
    EXPECT_NE(text.out.find("range 1–16 (auto)"), std::string::npos) << text.out;
    // A plateau: no note.
    EXPECT_TRUE(run({"refit", "-", "--range", "auto"}, "4096\n1024\n256\n64\n16\n").err.empty());
}

TEST_F(Cli, BatchPassesGridAndRangeToEveryFileAndAddsTheirColumns)
{
    const auto shifted = gasketFile("shifted.bmp", 93, 141);
    const auto aligned = gasketFile("aligned.bmp", 0, 0);
    const std::vector<std::string> options = {"--grid", "min", "--range", "auto"};
    auto args = std::vector<std::string>{"batch", "black", shifted, aligned, "--format", "jsonl"};
    args.insert(args.end(), options.begin(), options.end());
    const auto result = run(args);
    ASSERT_EQ(result.exitStatus, 0) << result.err;
    std::istringstream lines(result.out);
    std::vector<json> singles;
    for (const auto& path : {shifted, aligned}) {
        std::string line;
        std::getline(lines, line);
        auto single = std::vector<std::string>{"black", path, "--json"};
        single.insert(single.end(), options.begin(), options.end());
        json expected = runJson(single);
        expected["path"] = path;
        expected["status"] = "ok";
        EXPECT_EQ(json::parse(line), expected) << path;
        singles.push_back(expected);
    }

    args[4] = "csv";
    const std::string csv = run(args).out;
    EXPECT_NE(csv.find(",rSquared,grid,rangeLow,rangeHigh,sides,"), std::string::npos) << csv;
    const std::string cells =
        "\"min\",\"" + singles[0]["range"][0].dump() + "\",\"" + singles[0]["range"][1].dump() + "\",";
    EXPECT_NE(csv.find(cells), std::string::npos) << cells << csv;
    // gray has no grid: its cell stays empty, its range is filled.
    const std::string gray = run({"batch", "gray", aligned, "--format", "csv", "--range", "4-64"}).out;
    EXPECT_NE(gray.find(",\"\",\"4\",\"64\","), std::string::npos) << gray;
}

}  // namespace
}  // namespace dimora
