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
#include "cli/mass_commands.hpp"
#include "cli/object_measurement.hpp"
#include "core/common/error.hpp"
#include "core/files/image_file.hpp"
#include "core/files/sample_reader.hpp"
#include "core/image/labelled_objects.hpp"
#include "core/measure/measurement_sequence.hpp"
#include "core/measure/multifractal.hpp"
#include "core/slices/cube_count.hpp"

#include <nlohmann/json.hpp>
#include <pybind11/pybind11.h>
#include <pybind11/stl.h>

#include <cstring>
#include <exception>
#include <functional>
#include <optional>
#include <sstream>
#include <string>
#include <tuple>
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

// dimora3-cli ARGS: its exit status (0, or a command's own status such as
// batch's 2 for no file), what it prints on standard output and on standard
// error.
std::tuple<int, std::string, std::string> runCommandLine(const std::vector<std::string>& args)
{
    return guarded([&] {
        const cli::Arguments arguments = cli::parseArguments(args);
        std::ostringstream out, err;
        int status = 0;
        {
            py::gil_scoped_release unlocked;
            status = cli::runCommand(arguments, {out, err});
        }
        return std::make_tuple(status, out.str(), err.str());
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

// The dimension measurements an array takes a mask and labels for, by name:
// the layout its bytes are viewed in and the command line's kind.
struct ArrayMeasurement {
    const PixelLayout* layout;
    cli::MeasurementKind kind;
    const char* command;  // whose options the array's options are
};

ArrayMeasurement arrayMeasurement(const std::string& name)
{
    if (name == "boxcount")
        return {&occupancyLayout(), cli::MeasurementKind::Black, "black"};
    if (name == "black")
        return {&greyLayout(), cli::MeasurementKind::Black, "black"};
    if (name == "nonblack")
        return {&greyLayout(), cli::MeasurementKind::NonBlack, "nonblack"};
    if (name == "gray")
        return {&greyLayout(), cli::MeasurementKind::Gray, "gray"};
    throw std::invalid_argument("objects are measured by boxcount, black, nonblack, gray, lacunarity or "
                                "multifractal, not " +
                                name);
}

PixelMask maskOf(const ByteArray& mask)
{
    const ImageView view = viewOf(mask, occupancyLayout());
    PixelMask out{view.width, view.height, {}};
    out.inside.resize(static_cast<std::size_t>(view.width) * static_cast<std::size_t>(view.height));
    for (std::int32_t y = 0; y < view.height; ++y)
        for (std::int32_t x = 0; x < view.width; ++x)
            out.inside[static_cast<std::size_t>(y) * static_cast<std::size_t>(view.width) +
                       static_cast<std::size_t>(x)] = view.row(y)[x] != 0 ? 1 : 0;
    return out;
}

// A dimension measurement of an (H, W) byte array under an (H, W) byte mask
// (non-zero inside), with maskArea as --mask gives it.
std::string measureMasked(const std::string& name, const ByteArray& image, const ByteArray& mask,
                          const std::vector<std::string>& options)
{
    return guarded([&] {
        const ArrayMeasurement measurement = arrayMeasurement(name);
        const cli::Arguments arguments = optionsOf(measurement.command, options);
        const ImageView view = viewOf(image, *measurement.layout);
        nlohmann::json out;
        {
            py::gil_scoped_release unlocked;
            const PixelMask inside = maskOf(mask);
            const Region region = arguments.region.value_or(Region{0, 0, view.width, view.height});
            out = cli::maskedDimensionJson(measurement.kind, view, region, &inside, arguments);
        }
        if (name == "boxcount")
            out["measurement"] = "boxcount";
        return dumped(out);
    });
}

template <class T> SamplePlane samplesOf(const py::array& array, SampleType type);

// An (H, W) array of uint8, uint16 or uint32 (and float32 when floats are
// taken) as a sample plane, a copy.
SamplePlane samplePlaneOf(const py::array& array, bool floats)
{
    if (array.ndim() != 2)
        throw std::invalid_argument("an image array has two axes");
    if (py::isinstance<py::array_t<std::uint8_t>>(array))
        return samplesOf<std::uint8_t>(array, SampleType::UInt8);
    if (py::isinstance<py::array_t<std::uint16_t>>(array))
        return samplesOf<std::uint16_t>(array, SampleType::UInt16);
    if (py::isinstance<py::array_t<std::uint32_t>>(array))
        return samplesOf<std::uint32_t>(array, SampleType::UInt32);
    if (floats && py::isinstance<py::array_t<float>>(array))
        return samplesOf<float>(array, SampleType::Float32);
    throw std::invalid_argument(floats ? "samples are uint8, uint16, uint32 or float32"
                                       : "labels are uint8, uint16 or uint32");
}

// The measurement of one object: its JSON over the box under the mask.
using ObjectMeasurement = std::function<nlohmann::json(const Region& box, const PixelMask* mask)>;

// Every object of an (H, W) label array (uint8, uint16 or uint32; non-zero
// values) of the image's size measured with the mask "label = v" (and `mask`
// when given) over its bounding box, in ascending order of v: the rows of
// --labels as JSON Lines, without a path. Runs without the GIL.
std::string objectRows(const py::array& labels, std::int32_t width, std::int32_t height,
                       const std::optional<ByteArray>& mask, const ObjectMeasurement& measure)
{
    if (labels.ndim() != 2 || labels.shape(0) != height || labels.shape(1) != width)
        throw std::invalid_argument("the labels are not of the image's size");
    const SamplePlane plane = samplePlaneOf(labels, false);
    std::string lines;
    py::gil_scoped_release unlocked;
    std::optional<PixelMask> also;
    if (mask)
        also = maskOf(*mask);
    PixelMask objectMask = blankMaskFor(plane);
    for (const LabelledObject& object : findLabelledObjects(plane)) {
        markObject(plane, object, also ? &*also : nullptr, objectMask);
        nlohmann::json row;
        try {
            row = measure(object.bbox, &objectMask);
            row["status"] = "ok";
        } catch (const std::bad_alloc&) {
            throw;
        } catch (const std::exception& e) {
            row = nlohmann::json::object();
            row["status"] = "error";
            row["error"] = errorReportText(e.what());
        }
        clearObject(object, objectMask);
        row["label"] = object.label;
        row["bbox"] = {object.bbox.left, object.bbox.top, object.bbox.width, object.bbox.height};
        row["area"] = object.area;
        lines += dumped(row) + "\n";
    }
    return lines;
}

// The --labels rows of a dimension measurement (boxcount, black, nonblack,
// gray) of an (H, W) byte array.
std::string measureObjects(const std::string& name, const ByteArray& image, const py::array& labels,
                           const std::optional<ByteArray>& mask, const std::vector<std::string>& options)
{
    return guarded([&] {
        const ArrayMeasurement measurement = arrayMeasurement(name);
        const cli::Arguments arguments = optionsOf(measurement.command, options);
        const ImageView view = viewOf(image, *measurement.layout);
        return objectRows(
            labels, view.width, view.height, mask, [&](const Region& box, const PixelMask* inside) {
                nlohmann::json row = cli::maskedDimensionJson(measurement.kind, view, box, inside, arguments);
                if (name == "boxcount")
                    row["measurement"] = "boxcount";
                return row;
            });
    });
}

bool grayMass(const std::string& measurement, const cli::Arguments& arguments)
{
    return measurement == "multifractal" && arguments.mass.value_or(MassKind::Black) == MassKind::Gray;
}

// The --labels rows of lacunarity or multifractal: the image is an (H, W)
// uint8 array of occupancy (non-zero occupied), or with grey mass an array of
// samples as measure_sample_mass takes them.
std::string measureMassObjects(const std::string& measurement, const py::array& image,
                               const py::array& labels, const std::optional<ByteArray>& mask,
                               const std::vector<std::string>& options)
{
    return guarded([&] {
        if (measurement != "lacunarity" && measurement != "multifractal")
            throw std::invalid_argument("not a mass measurement: " + measurement);
        const cli::Arguments arguments = optionsOf(measurement, options);
        const auto inBox = [&](const Region& box) {
            cli::Arguments boxed = arguments;
            boxed.region = box;
            return boxed;
        };
        if (grayMass(measurement, arguments)) {
            const SamplePlane samples = samplePlaneOf(image, true);
            return objectRows(labels, samples.width(), samples.height(), mask,
                              [&](const Region& box, const PixelMask* inside) {
                                  return cli::multifractalSamplesJson(samples, inBox(box), inside);
                              });
        }
        if (!py::isinstance<ByteArray>(image))
            throw std::invalid_argument("an occupancy array is uint8");
        const ImageView view = viewOf(py::reinterpret_borrow<ByteArray>(image), occupancyLayout());
        return objectRows(
            labels, view.width, view.height, mask, [&](const Region& box, const PixelMask* inside) {
                return measurement == "lacunarity" ? cli::lacunarityViewJson(view, inBox(box), inside)
                                                   : cli::multifractalViewJson(view, inBox(box), inside);
            });
    });
}

// lacunarity, or multifractal with black mass, of an (H, W) byte array whose
// non-zero elements are occupied, under the mask when given.
std::string measureMass(const std::string& measurement, const ByteArray& image,
                        const std::vector<std::string>& options, const std::optional<ByteArray>& mask)
{
    return guarded([&] {
        const cli::Arguments arguments = optionsOf(measurement, options);
        const ImageView view = viewOf(image, occupancyLayout());
        nlohmann::json out;
        {
            py::gil_scoped_release unlocked;
            std::optional<PixelMask> inside;
            if (mask)
                inside = maskOf(*mask);
            const PixelMask* given = inside ? &*inside : nullptr;
            out = measurement == "lacunarity" ? cli::lacunarityViewJson(view, arguments, given)
                                              : cli::multifractalViewJson(view, arguments, given);
        }
        return dumped(out);
    });
}

template <class T> SamplePlane samplesOf(const py::array& array, SampleType type)
{
    const auto width = static_cast<std::int32_t>(array.shape(1));
    const auto height = static_cast<std::int32_t>(array.shape(0));
    SamplePlane plane(width, height, type);
    const auto samples = py::array_t<T, 0>::ensure(array).template unchecked<2>();
    for (std::int32_t y = 0; y < height; ++y) {
        std::uint8_t* row = plane.row(y);
        for (std::int32_t x = 0; x < width; ++x) {
            const T value = samples(y, x);
            std::memcpy(row + static_cast<std::size_t>(x) * sizeof(T), &value, sizeof(T));
        }
    }
    return plane;
}

// multifractal with grey mass of an (H, W) array of uint8, uint16, uint32 or
// float32 samples, each pixel's mass its sample, under the mask when given.
std::string measureSampleMass(const py::array& image, const std::vector<std::string>& options,
                              const std::optional<ByteArray>& mask)
{
    return guarded([&] {
        const cli::Arguments arguments = optionsOf("multifractal", options);
        const SamplePlane plane = samplePlaneOf(image, true);
        nlohmann::json out;
        {
            py::gil_scoped_release unlocked;
            std::optional<PixelMask> inside;
            if (mask)
                inside = maskOf(*mask);
            out = cli::multifractalSamplesJson(plane, arguments, inside ? &*inside : nullptr);
        }
        return dumped(out);
    });
}

// A grey PNG or TIFF at the depth it stores its samples; any other file as
// the bitmap reads it, which also gives the errors dimora3-cli gives.
py::array readImage(const std::string& path, std::int32_t requestedPage)
{
    return guarded([&]() -> py::array {
        // The page as --page takes it: a page below 1 is refused as the command
        // line refuses it, not reported as an unreadable file.
        const std::int32_t page = optionsOf("g1", {"-", "--page", std::to_string(requestedPage)}).page;
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
        // The operation and threshold as the command line takes them: a name it
        // does not know is refused, as a usage error.
        const cli::Arguments arguments =
            cli::parseArguments({"process", operation, "-", "-", "--threshold", std::to_string(threshold)});
        Bitmap bitmap = bitmapOf(image);
        {
            py::gil_scoped_release unlocked;
            cli::applyProcessOperation(operation, bitmap, arguments.threshold);
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
          "Runs dimora3-cli with these arguments: (exit status, standard output, standard error).");
    m.def("measure", &measureArray, py::arg("measurement"), py::arg("image"), py::arg("options"),
          "The JSON object of a measurement of an (H, W) uint8 array.");
    m.def("cubes", &measureCubes, py::arg("stack"), py::arg("options"),
          "The JSON object of cubes on a (Z, H, W) uint8 array.");
    m.def("measure_mass", &measureMass, py::arg("measurement"), py::arg("image"), py::arg("options"),
          py::arg("mask") = py::none(),
          "The JSON object of lacunarity or multifractal (black mass) of an (H, W) uint8 array.");
    m.def("measure_sample_mass", &measureSampleMass, py::arg("image"), py::arg("options"),
          py::arg("mask") = py::none(),
          "The JSON object of multifractal with grey mass of an (H, W) array of samples.");
    m.def("measure_masked", &measureMasked, py::arg("measurement"), py::arg("image"), py::arg("mask"),
          py::arg("options"), "The JSON object of a dimension measurement of an array under a mask.");
    m.def("measure_objects", &measureObjects, py::arg("measurement"), py::arg("image"), py::arg("labels"),
          py::arg("mask"), py::arg("options"), "The JSON Lines of every labelled object of an array.");
    m.def("measure_mass_objects", &measureMassObjects, py::arg("measurement"), py::arg("image"),
          py::arg("labels"), py::arg("mask"), py::arg("options"),
          "The JSON Lines of lacunarity or multifractal of every labelled object of an array.");
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
