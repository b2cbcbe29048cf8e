# Dimora3 — fractal dimension by box counting.
# SPDX-License-Identifier: MIT
"""The module gives dimora3-cli's numbers: on paths, on arrays read from the same
files, with the same options, and the same errors."""

import json
import re
import threading

import numpy as np
import pytest

import dimora3
from conftest import BMP, CARPET, FILES, cli_json, cli_outcome, outcome, run_cli, write_grey_png

# Options as keywords and as the command line writes them.
OPTIONS = [
    ({}, []),
    ({"region": (-7, 5, 300, 200)}, ["--region", "-7,5,300,200"]),
    ({"grid": "min"}, ["--grid", "min"]),
    ({"range": "auto"}, ["--range", "auto"]),
    ({"range": (2, 64)}, ["--range", "2-64"]),
    ({"grid": "origin", "range": "all"}, ["--grid", "origin", "--range", "all"]),
]
TWO_VALUED = ["black", "nonblack"]


def fits(measurement, keywords):
    """Whether the command takes these options (gray has no grid, length no fit)."""
    if measurement == "length":
        return set(keywords) <= {"region"}
    return measurement in TWO_VALUED or "grid" not in keywords


CASES = [
    pytest.param(m, path, kw, opts, id="%s-%s-%s" % (m, path.name, "-".join(opts) or "plain"))
    for m in ["black", "nonblack", "gray", "length"]
    for path in FILES
    for kw, opts in OPTIONS
    if fits(m, kw) and (path == CARPET or not kw)
]


@pytest.mark.parametrize("measurement, path, keywords, options", CASES)
def test_path_result_is_the_command_lines_json(measurement, path, keywords, options):
    measure = getattr(dimora3, measurement)
    assert outcome(lambda: measure(path, **keywords)) == cli_outcome(measurement, path, *options)


@pytest.mark.parametrize("measurement, path, keywords, options", CASES)
def test_array_read_from_a_file_measures_as_the_file(measurement, path, keywords, options):
    image = dimora3.read(path)
    expected = cli_outcome(measurement, path, *options)
    if measurement == "length":
        # Lines are the pixels black in all three channels; an array's are its True elements.
        black = image == 0 if image.ndim == 2 else (image == 0).all(axis=2)
        assert outcome(lambda: dimora3.length(black, **keywords)) == expected
        return
    assert outcome(lambda: getattr(dimora3, measurement)(image, **keywords)) == expected
    if measurement == "black" and isinstance(expected, dict) and image.dtype == np.uint8:
        red = image if image.ndim == 2 else image[:, :, 0]
        assert dimora3.boxcount(red == 0, **keywords).to_dict() == dict(expected, measurement="boxcount")


@pytest.mark.parametrize(
    "layout",
    [
        lambda a: a.astype(np.int64),
        lambda a: a.astype(np.float32) * 0.5,
        lambda a: np.asfortranarray(a),
        lambda a: np.pad(a, ((0, 0), (0, 3)))[:, :-3],  # rows longer than the image
        lambda a: np.repeat(a, 2, axis=1)[:, ::2],  # elements two bytes apart
        lambda a: a[::-1][::-1],
        lambda a: a.view(np.uint8),
        lambda a: a.astype(np.int8) * np.int8(-1),  # read in place: -1 is a non-zero byte
    ],
    ids=["int64", "float32", "fortran", "padded-rows", "strided", "reversed-twice", "uint8", "int8"],
)
def test_any_dtype_and_layout_counts_as_its_contiguous_bool_array(layout):
    occupied = dimora3.read(CARPET) == 0
    expected = dimora3.boxcount(occupied, grid="min").to_dict()
    assert dimora3.boxcount(layout(occupied), grid="min").to_dict() == expected


def test_cubes_of_an_array_stack_equal_those_of_its_files(stack_folder):
    slices = [dimora3.read(p) == 0 for p in sorted(stack_folder.iterdir())]
    for voxel, options in [((1.0, 1.0, 1.0), []), ((0.5, 0.5, 2.0), ["--voxel", "0.5,0.5,2.0"])]:
        expected = cli_json("cubes", stack_folder, *options)
        assert dimora3.cubes(stack_folder, voxel=voxel).to_dict() == expected
        expected["lastFile"] = None
        assert dimora3.cubes(np.stack(slices), voxel=voxel).to_dict() == expected


@pytest.fixture(scope="module")
def grey_bmp(tmp_path_factory):
    """An 8-bit grey BMP, the layout an (H, W) array is processed in."""
    path = tmp_path_factory.mktemp("grey") / "grey.bmp"
    status, _, err = run_cli("process", "grayscale", BMP / "rgb24.bmp", path)
    assert status == 0, err
    return path


# An array is processed in the layout it maps to (8-bit grey, 24-bit colour), so the
# command line is given files of those layouts.
@pytest.mark.parametrize("operation", dimora3.operations())
@pytest.mark.parametrize("colour", [False, True], ids=["grey", "colour"])
def test_process_returns_what_the_command_line_writes(operation, colour, grey_bmp, tmp_path):
    path = BMP / "rgb24.bmp" if colour else grey_bmp
    written = tmp_path / "out.png"
    status, _, err = run_cli("process", operation, path, written, "--threshold", 100)
    assert status == 0, err
    out = dimora3.process(operation, dimora3.read(path), threshold=100)
    expected = dimora3.read(written)
    if out.ndim != expected.ndim:  # a PNG is written as 24 bits
        out = np.repeat(out[:, :, None], 3, axis=2)
    np.testing.assert_array_equal(out, expected)


def test_read_gives_the_samples():
    carpet = dimora3.read(CARPET)
    assert carpet.dtype == np.uint8 and carpet.shape == (729, 729)
    assert set(np.unique(carpet)) == {0, 255}
    assert dimora3.read(BMP / "rgb24.bmp").shape[2] == 3
    deep = dimora3.read(FILES[8])  # a 16-bit grey PNG keeps its low bytes
    assert deep.dtype == np.uint16 and (deep & 0xFF).any()
    assert dimora3.read(FILES[6]).dtype == np.uint8  # 1-bit grey: 0 and 255
    assert set(np.unique(dimora3.read(FILES[6]))) == {0, 255}


@pytest.mark.parametrize(
    "call, cli_args",
    [
        (lambda tmp: dimora3.black(tmp / "missing.bmp"), lambda tmp: ["black", tmp / "missing.bmp"]),
        (lambda tmp: dimora3.gray(tmp / "damaged.png"), lambda tmp: ["gray", tmp / "damaged.png"]),
        (lambda tmp: dimora3.read(tmp / "damaged.png"), lambda tmp: ["g1", tmp / "damaged.png", tmp / "o.g1"]),
        (lambda tmp: dimora3.cubes(tmp), lambda tmp: ["cubes", tmp]),
        (lambda tmp: dimora3.black(CARPET, page=2), lambda tmp: ["black", CARPET, "--page", "2"]),
    ],
    ids=["missing", "damaged", "read-damaged", "cubes-damaged-slice", "page"],
)
def test_errors_carry_the_command_lines_last_error_line(call, cli_args, tmp_path):
    (tmp_path / "damaged.png").write_bytes(b"\x89PNG\r\n\x1a\n" + b"\0" * 20)
    status, _, err = run_cli(*cli_args(tmp_path))
    assert status == 1
    with pytest.raises(dimora3.Error) as raised:
        call(tmp_path)
    assert isinstance(raised.value, ValueError)
    assert str(raised.value) == err.rstrip("\n").splitlines()[-1]


@pytest.mark.parametrize(
    "call",
    [
        lambda: dimora3.black(CARPET, grid="diagonal"),
        lambda: dimora3.gray(CARPET, range=(64, 2)),
        lambda: dimora3.boxcount(np.ones((8, 8)), range="most"),
        lambda: dimora3.process("sharpen", np.zeros((4, 4), np.uint8)),
        lambda: dimora3.cubes(np.zeros((2, 4, 4)), voxel=(1, 2, 1)),
        lambda: dimora3.read(CARPET, page=0),
        lambda: dimora3.lacunarity(np.ones((8, 8)), empty="exclude"),
        lambda: dimora3.objects(np.ones((8, 8)), np.ones((8, 8), np.uint8), measurement="multifractal", range="auto"),
    ],
    ids=["grid", "range", "array-range", "operation", "voxel-not-square", "page", "array-empty", "objects-range"],
)
def test_options_the_command_line_refuses_raise_value_error(call):
    # A refused option is a plain ValueError, not the Error of a failed measurement.
    with pytest.raises(ValueError) as raised:
        call()
    assert not isinstance(raised.value, dimora3.Error)


@pytest.mark.parametrize("shape", [(0, 8), (8, 0), (0, 0)])
def test_an_array_without_pixels_fails_as_an_empty_region(shape):
    # numpy gives an empty array arbitrary strides: the measurement, not the
    # layout check, must refuse it, with the core's message for no pixels.
    with pytest.raises(dimora3.Error, match="不正な浮動小数点数演算命令"):
        dimora3.boxcount(np.zeros(shape, bool))


@pytest.mark.parametrize(
    "call, array, error",
    [
        (dimora3.boxcount, np.zeros((4, 4), dtype=complex), TypeError),
        (dimora3.boxcount, np.array([["a", "b"]]), TypeError),
        (dimora3.gray, np.zeros((4, 4), dtype=object), TypeError),
        (dimora3.boxcount, np.zeros(16), ValueError),
        (dimora3.boxcount, np.zeros((2, 4, 4)), ValueError),
        (dimora3.gray, np.zeros((4, 4, 4), np.uint8), ValueError),
        (dimora3.gray, np.full((4, 4), 256), ValueError),
        (dimora3.cubes, np.zeros((4, 4)), ValueError),
    ],
    ids=["complex", "str", "object", "1-D", "3-D", "4-channels", "grey-range", "cubes-2-D"],
)
def test_dtypes_and_shapes(call, array, error):
    with pytest.raises(error) as raised:
        call(array)
    assert not isinstance(raised.value, dimora3.Error)


def test_result_attributes_and_repr():
    result = dimora3.black(CARPET)
    data = result.to_dict()
    assert (result.dimension, result.standard_error, result.r_squared) == (
        data["dimension"],
        data["standardError"],
        data["rSquared"],
    )
    assert result.ci95 == tuple(data["ci95"]) and result.sides == data["sides"]
    assert result.coverage == data["coverage"] and result.brightness is None
    expected = "BoxCount(D=%.4f ± %.4f, r²=%.4f, n=%d)" % (
        data["dimension"],
        data["standardError"],
        data["rSquared"],
        data["n"],
    )
    assert repr(result) == expected
    assert re.fullmatch(r"Length\(\d+\.\d\)", repr(dimora3.length(CARPET)))
    result.to_dict()["dimension"] = 0
    assert result.dimension == data["dimension"]


def test_threads_measure_side_by_side_with_the_same_results():
    occupied = dimora3.read(CARPET) == 0
    arrays = [occupied, ~occupied]
    expected = [dimora3.boxcount(a, grid="min").to_dict() for a in arrays]
    results = [None, None]

    def measure(k):
        results[k] = dimora3.boxcount(arrays[k], grid="min").to_dict()

    threads = [threading.Thread(target=measure, args=(k,)) for k in range(2)]
    for thread in threads:
        thread.start()
    for thread in threads:
        thread.join()
    assert results == expected


MASS_CASES = [
    ("lacunarity", {}, []),
    ("lacunarity", {"method": "grid", "empty": "exclude"}, ["--method", "grid", "--empty", "exclude"]),
    ("lacunarity", {"sides": [3, 9, 27], "region": (0, 0, 243, 243)}, ["--sides", "3,9,27", "--region", "0,0,243,243"]),
    ("multifractal", {}, []),
    ("multifractal", {"q": [-2, 0, 1, 2.5], "range": (2, 64)}, ["--q", "-2,0,1,2.5", "--range", "2-64"]),
]


@pytest.mark.parametrize(
    "measurement, keywords, options", MASS_CASES, ids=["gliding", "grid-exclude", "sides", "spectrum", "q-range"]
)
def test_mass_measurements_of_paths_and_arrays_equal_the_command_lines(measurement, keywords, options):
    expected = cli_outcome(measurement, CARPET, *options)
    measure = getattr(dimora3, measurement)
    assert outcome(lambda: measure(CARPET, **keywords)) == expected
    assert outcome(lambda: measure(dimora3.read(CARPET) == 0, **keywords)) == expected


@pytest.mark.parametrize("path", [FILES[7], FILES[8]], ids=["8-bit", "16-bit"])
def test_grey_mass_of_a_read_array_equals_the_files(path):
    expected = cli_outcome("multifractal", path, "--mass", "gray", "--q", "0,1,2")
    samples = dimora3.read(path)
    assert outcome(lambda: dimora3.multifractal(samples, mass="gray", q=[0, 1, 2])) == expected
    # Wider integer dtypes are narrowed to the type that holds them: the same numbers.
    wide = samples.astype(np.int64)
    assert outcome(lambda: dimora3.multifractal(wide, mass="gray", q=[0, 1, 2])) == expected


def occupied(image):
    """The pixels a file's lacunarity and black mass count: red level 0."""
    return (image if image.ndim == 2 else image[:, :, 0]) == 0


# Measurements that take a mask and labels: the module's name, the command line's
# name and options, the keywords, and the array a read image is measured as.
MASKED = [
    ("black", "black", [], {}, lambda image: image),
    ("nonblack", "nonblack", [], {}, lambda image: image),
    ("gray", "gray", [], {}, lambda image: image),
    ("boxcount", "black", [], {}, occupied),
    ("lacunarity", "lacunarity", [], {}, occupied),
    ("lacunarity", "lacunarity", ["--method", "grid"], {"method": "grid"}, occupied),
    ("multifractal", "multifractal", ["--q", "0,1,2"], {"q": [0, 1, 2]}, occupied),
    (
        "multifractal",
        "multifractal",
        ["--q", "-1,0,2", "--mass", "gray"],
        {"q": [-1, 0, 2], "mass": "gray"},
        lambda image: image,
    ),
]
MASKED_IDS = ["black", "nonblack", "gray", "boxcount", "lacunarity", "lacunarity-grid", "spectrum", "spectrum-gray"]


@pytest.fixture(scope="session")
def deep_carpet(tmp_path_factory):
    """A 16-bit grey PNG of the carpet's size whose low bytes matter: the carpet's white
    with a ramp across it, so that a grey mass is measured at full depth."""
    x = np.arange(729, dtype=np.uint16)[None, :]
    samples = np.where(dimora3.read(CARPET) != 0, np.uint16(60000), np.uint16(6000)) - x * np.uint16(7)
    return write_grey_png(tmp_path_factory.mktemp("deep") / "deep.png", samples.astype(np.uint16))


def masked_case(measurement, keywords, carpet, deep):
    """The file a case measures: the 16-bit one for a grey mass (a BMP has no samples)."""
    return deep if keywords.get("mass") == "gray" else carpet


@pytest.mark.parametrize("measurement, command, options, keywords, pixels", MASKED, ids=MASKED_IDS)
def test_masked_paths_and_arrays_equal_the_command_lines_mask(
    measurement, command, options, keywords, pixels, carpet_masks, deep_carpet
):
    disc, _ = carpet_masks
    path = masked_case(measurement, keywords, CARPET, deep_carpet)
    expected = cli_outcome(command, path, *options, "--mask", disc)
    if measurement == "boxcount":
        expected = dict(expected, measurement="boxcount")
    measure = getattr(dimora3, measurement)
    image = pixels(dimora3.read(path))
    array_mask = dimora3.read(disc) > 0
    assert outcome(lambda: measure(image, mask=array_mask, **keywords)) == expected
    assert outcome(lambda: measure(image, mask=disc, **keywords)) == expected
    if measurement != "boxcount":
        assert outcome(lambda: measure(path, mask=disc, **keywords)) == expected
        assert outcome(lambda: measure(path, mask=array_mask, **keywords)) == expected
    # The mask is honoured: a different mask gives a different result.
    assert outcome(lambda: measure(image, mask=~array_mask, **keywords)) != expected


@pytest.mark.parametrize("masked", [False, True], ids=["labels", "labels-and-mask"])
@pytest.mark.parametrize("measurement, command, options, keywords, pixels", MASKED, ids=MASKED_IDS)
def test_objects_are_the_command_lines_label_rows(
    measurement, command, options, keywords, pixels, masked, carpet_masks, deep_carpet
):
    disc, labels = carpet_masks
    path = masked_case(measurement, keywords, CARPET, deep_carpet)
    args = [command, path, *options, "--labels", labels, "--format", "jsonl"] + (["--mask", disc] if masked else [])
    status, out, err = run_cli(*args)
    assert status in (0, 1), err
    expected = [json.loads(line) for line in out.splitlines()]
    assert [row["label"] for row in expected] == [7, 300, 1000, 65535]
    assert any(row["status"] == "ok" for row in expected)
    mask = disc if masked else None
    assert dimora3.objects(path, labels, measurement=measurement, mask=mask, **keywords) == expected
    # Arrays: the same rows without the path.
    array_mask = None if mask is None else dimora3.read(disc) != 0
    image = pixels(dimora3.read(path))
    rows = dimora3.objects(image, dimora3.read(labels), measurement=measurement, mask=array_mask, **keywords)
    for row in expected:
        del row["path"]
        if measurement == "boxcount" and row["status"] == "ok":
            row["measurement"] = "boxcount"
    assert rows == expected


def test_objects_of_labels_without_any_raise(carpet_masks, tmp_path):
    empty = write_grey_png(tmp_path / "empty.png", np.zeros((729, 729), np.uint8))
    status, _, err = run_cli("black", CARPET, "--labels", empty)
    assert status == 2
    with pytest.raises(dimora3.Error, match=re.escape(err.splitlines()[0].split(": ", 1)[1])):
        dimora3.objects(CARPET, empty)
    assert dimora3.objects(np.ones((4, 4), bool), np.zeros((4, 4), np.uint8)) == []
