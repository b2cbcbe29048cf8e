// Dimora3 — fractal dimension by box counting.
// SPDX-License-Identifier: MIT

// dimora3._core: what the Python package calls. A path is measured by running
// dimora3-cli's own command with --json on in-memory streams, so the result is
// the command line's object to the byte; an array is measured by the same
// measurement and JSON code on a view of the array's memory. Results go back
// as JSON text, which __init__.py turns into dicts. Every call that counts
// releases the GIL: the arrays it reads are kept alive by the call's own
// references.

#include "array_image.hpp"

#include "cli/arguments.hpp"
#include "cli/command_table.hpp"
#include "cli/commands.hpp"
#include "core/common/error.hpp"
#include "core/files/image_file.hpp"
#include "core/files/sample_reader.hpp"
#include "core/measure/measurement_sequence.hpp"
#include "core/slices/cube_count.hpp"

#include <nlohmann/json.hpp>
#include <pybind11/pybind11.h>
#include <pybind11/stl.h>

#include <cstring>
#include <exception>
#include <optional>
#include <sstream>
#include <string>
#include <vector>

namespace py = pybind11;

namespace dimora::python {
namespace {

// Raised with the text of the command line's last error line.
class MeasurementError : public std::exception {
public:
    explicit MeasurementError(std::string text) : text_(std::move(text)) {}
    [[nodiscard]] const char* what() const noexcept override { return text_.c_str(); }

private:
    std::string text_;
};

// Runs fn, turning the command line's failures into the module's: a command
// line that dimora3-cli refuses (exit status 2) is a ValueError with its
// message; an error it reports (exit status 1) is dimora3.Error with the line
// it prints, full stop included.
template <class Fn> auto guarded(Fn&& fn)
{
    try {
        return fn();
    } catch (const cli::UsageError& e) {
        throw py::value_error(e.what());
    } catch (const std::bad_alloc&) {
        throw;
    } catch (const std::invalid_argument& e) {
        throw py::value_error(e.what());
    } catch (const std::exception& e) {
        throw MeasurementError(errorReportText(e.what()));
    }
}

// The arguments of a measurement on an array: the options parsed as the
// command line parses them after `command IMAGE`.
cli::Arguments optionsOf(const std::string& command, const std::vector<std::string>& options)
{
    std::vector<std::string> args = {command, "-"};
    args.insert(args.end(), options.begin(), options.end());
    return cli::parseArguments(args);
}

std::string dumped(const nlohmann::json& out)
{
    return out.dump(-1, ' ', false, nlohmann::json::error_handler_t::replace);
}

// dimora3-cli ARGS: the report it prints on standard output.
std::string runCommandLine(const std::vector<std::string>& args)
{
    return guarded([&] {
        const cli::Arguments arguments = cli::parseArguments(args);
        std::ostringstream out, err;
        {
            py::gil_scoped_release unlocked;
            cli::runCommand(arguments, {out, err});
        }
        return out.str();
    });
}

// black, nonblack, boxcount, gray or length of an (H, W) byte array. boxcount
// counts the non-zero elements (the black pixels of the occupancy layout);
// black and nonblack read the bytes as grey levels, as gray does.
std::string measureArray(const std::string& measurement, const ByteArray& image,
                         const std::vector<std::string>& options)
{
    return guarded([&] {
        const bool occupancy = measurement == "boxcount" || measurement == "length";
        const cli::Arguments arguments =
            optionsOf(measurement == "boxcount" ? "black" : measurement, options);
        const ImageView view = viewOf(image, occupancy ? occupancyLayout() : greyLayout());
        nlohmann::json out;
        {
            py::gil_scoped_release unlocked;
            if (measurement == "length") {
                out = cli::lengthViewJson(view, arguments);
            } else {
                const cli::MeasurementKind kind = measurement == "gray"       ? cli::MeasurementKind::Gray
                                                  : measurement == "nonblack" ? cli::MeasurementKind::NonBlack
                                                                              : cli::MeasurementKind::Black;
                out = cli::dimensionViewJson(kind, view, arguments);
            }
        }
        if (measurement == "boxcount")
            out["measurement"] = "boxcount";
        return dumped(out);
    });
}

// cubes of a (Z, H, W) byte array: non-zero elements are the occupied voxels.
std::string measureCubes(const ByteArray& stack, const std::vector<std::string>& options)
{
    return guarded([&] {
        cli::Arguments arguments = optionsOf("cubes", options);
        if (stack.ndim() != 3)
            throw std::invalid_argument("a stack array has three axes");
        const auto slices = static_cast<std::int32_t>(stack.shape(0));
        const auto height = static_cast<std::int32_t>(stack.shape(1));
        const auto width = static_cast<std::int32_t>(stack.shape(2));
        nlohmann::json out;
        {
            py::gil_scoped_release unlocked;
            const Region region = arguments.region.value_or(Region{0, 0, width, height});
            CubeCounter counter(region, width, height, slices, arguments.voxel);
            for (std::int32_t z = 0; z < slices; ++z)
                counter.addSlice(planeOf(stack, z, occupancyLayout()));
            CubeStackMeasurement result;
            result.stack.counts = counter.finish();
            result.measurement = finishMeasurement(region, reportCubeCounts(result.stack.counts));
            const cli::CubeFit fit = cli::fitCubes(result, arguments);
            out = cli::dimensionJson(cli::MeasurementKind::Cubes, result.measurement, fit.facts, fit.choices);
        }
        // An array has no last file.
        out["lastFile"] = nullptr;
        return dumped(out);
    });
}

template <class T> py::array planeArray(const SamplePlane& plane)
{
    py::array_t<T> out({static_cast<py::ssize_t>(plane.height()), static_cast<py::ssize_t>(plane.width())});
    const std::size_t rowBytes = static_cast<std::size_t>(plane.width()) * sizeof(T);
    auto* bytes = static_cast<std::uint8_t*>(static_cast<void*>(out.mutable_data()));
    for (std::int32_t y = 0; y < plane.height(); ++y)
        std::memcpy(bytes + static_cast<std::size_t>(y) * rowBytes, plane.row(y), rowBytes);
    return out;
}

// A grey PNG or TIFF at the depth it stores its samples; any other file as
// the bitmap reads it, which also gives the errors dimora3-cli gives.
py::array readImage(const std::string& path, std::int32_t page)
{
    return guarded([&]() -> py::array {
        std::optional<SamplePlane> plane;
        Bitmap bitmap;
        {
            py::gil_scoped_release unlocked;
            const ImageFileKind kind = imageFileKindOf(path);
            if (kind == ImageFileKind::Png || kind == ImageFileKind::Tiff) {
                // A colour file, or one the sample reader refuses (signed samples, a
                // damaged file), is left to the bitmap reader: its samples or the
                // command line's own error.
                try {
                    plane = loadSamplePlane(path, page);
                } catch (const Error&) {
                }
            }
            if (!plane)
                bitmap = loadImageFile(path, page);
        }
        if (!plane)
            return arrayOf(bitmap);
        switch (plane->type()) {
        case SampleType::UInt8:
            return planeArray<std::uint8_t>(*plane);
        case SampleType::UInt16:
            return planeArray<std::uint16_t>(*plane);
        case SampleType::UInt32:
            return planeArray<std::uint32_t>(*plane);
        case SampleType::Float32:
            return planeArray<float>(*plane);
        }
        return arrayOf(bitmap);
    });
}

ByteArray processImage(const std::string& operation, const ByteArray& image, std::int32_t threshold)
{
    return guarded([&] {
        Bitmap bitmap = bitmapOf(image);
        {
            py::gil_scoped_release unlocked;
            cli::applyProcessOperation(operation, bitmap, threshold);
        }
        return arrayOf(bitmap);
    });
}

}  // namespace
}  // namespace dimora::python

PYBIND11_MODULE(_core, m)
{
    using namespace dimora::python;
    m.doc() = "The compiled part of dimora3; use the functions of the dimora3 package.";
    static py::exception<MeasurementError> error(m, "Error", PyExc_ValueError);
    error.attr("__module__") = "dimora3";
    error.doc() = "A measurement or file that dimora3-cli would end with exit status 1; "
                  "the message is its error line.";
    py::register_exception_translator([](std::exception_ptr raised) {
        try {
            if (raised)
                std::rethrow_exception(raised);
        } catch (const MeasurementError& e) {
            PyErr_SetString(error.ptr(), e.what());
        }
    });
    m.def("run", &runCommandLine, py::arg("args"),
          "Runs dimora3-cli with these arguments and returns what it prints.");
    m.def("measure", &measureArray, py::arg("measurement"), py::arg("image"), py::arg("options"),
          "The JSON object of a measurement of an (H, W) uint8 array.");
    m.def("cubes", &measureCubes, py::arg("stack"), py::arg("options"),
          "The JSON object of cubes on a (Z, H, W) uint8 array.");
    m.def("read", &readImage, py::arg("path"), py::arg("page") = 1, "The image file's pixels as an array.");
    m.def("process", &processImage, py::arg("operation"), py::arg("image"), py::arg("threshold") = 0,
          "An image operation on a copy of a uint8 array.");
    m.def("process_operations", [] {
        std::vector<std::string> names;
        for (const auto name : dimora::cli::processOperations())
            names.emplace_back(name);
        return names;
    });
}
