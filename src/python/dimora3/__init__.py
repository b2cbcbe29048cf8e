# Dimora3 — fractal dimension by box counting.
# SPDX-License-Identifier: MIT
"""Box-counting dimension from Python: the same core and the same numbers as dimora3-cli.

A path is measured exactly as ``dimora3-cli`` measures it (its reading rules, its
--json object); an array is measured in memory, without a copy when its rows are
contiguous bytes, with the GIL released while the core counts.

    >>> import dimora3
    >>> img = dimora3.read("leaf.tif")            # (H, W) uint8 grey or (H, W, 3) uint8 RGB
    >>> r = dimora3.boxcount(img == 0)            # True / non-zero = occupied
    >>> r
    BoxCount(D=1.8611 ± 0.0287, r²=0.9997, n=9)
    >>> r.to_dict() == dimora3.black("leaf.tif").to_dict() | {"measurement": "boxcount"}
    True

Errors that dimora3-cli reports with exit status 1 raise :class:`Error` (a ValueError)
whose message is the command line's error line; options it refuses raise ValueError.
"""

import json as _json
import os as _os

import numpy as _np

from . import _core

Error = _core.Error

__all__ = [
    "Error",
    "BoxCount",
    "Length",
    "read",
    "black",
    "nonblack",
    "gray",
    "length",
    "boxcount",
    "cubes",
    "lacunarity",
    "multifractal",
    "objects",
    "Lacunarity",
    "Multifractal",
    "process",
    "operations",
]


def _camel(name):
    head, *rest = name.split("_")
    return head + "".join(part.capitalize() for part in rest)


class _Result:
    """A measurement's result: the keys of dimora3-cli's --json object as attributes.

    Attribute names are the keys in snake_case (``standard_error`` for ``standardError``);
    an attribute whose key the object lacks (``dimension`` when nothing could be fitted,
    ``coverage`` of a grey measurement) is None. Lists stay lists; ``ci95``, ``region``
    and ``range`` are tuples.
    """

    __slots__ = ("_data",)
    _tuples = ("ci95", "region", "range", "voxel")

    def __init__(self, data):
        self._data = data

    def __getattr__(self, name):
        if name.startswith("_"):
            raise AttributeError(name)
        value = self._data.get(_camel(name))
        if name in self._tuples and isinstance(value, list):
            return tuple(value)
        return value

    def __dir__(self):
        snake = ["".join("_" + c.lower() if c.isupper() else c for c in key) for key in self._data]
        return sorted(set(object.__dir__(self)) | set(snake))

    def to_dict(self):
        """The result as dimora3-cli's --json object (a new dict each time)."""
        return _json.loads(_json.dumps(self._data))

    def __eq__(self, other):
        if isinstance(other, _Result):
            return self._data == other._data
        return NotImplemented

    __hash__ = None


class BoxCount(_Result):
    """The result of a dimension measurement (black, nonblack, boxcount, gray, cubes).

    Main attributes: ``dimension``, ``standard_error``, ``ci95`` (low, high), ``r_squared``,
    ``n``, ``r``, ``slope``, ``intercept``, ``sides``, ``counts`` (of the fitted range),
    ``count_list``, ``coverage`` (per cent; ``brightness`` for gray), ``region``, ``grid``,
    ``offsets``, ``range``, ``local_slopes``, ``fields``, ``measurement``, ``mask_area``
    (under a mask).
    """

    __slots__ = ()

    def __repr__(self):
        d = self._data
        if d.get("dimension") is None:
            return "BoxCount(no fit, n=%d)" % d.get("n", 0)
        text = "BoxCount(D=%.4f" % d["dimension"]
        if d.get("standardError") is not None:
            text += " ± %.4f" % d["standardError"]
        return text + ", r²=%.4f, n=%d)" % (d["rSquared"], d["n"])


class Length(_Result):
    """The total length of the lines (``length``, pixels) over the scanned ``region``."""

    __slots__ = ()

    def __repr__(self):
        if self._data.get("length") is None:
            return "Length(None)"
        return "Length(%.1f)" % self._data["length"]


class Lacunarity(_Result):
    """Lacunarity per box side: ``sides``, ``lacunarity`` (Λ per side), ``slope`` of
    log Λ against log r with its ``standard_error``, ``method``, ``empty``, ``region``
    and, under a mask, ``mask_area``."""

    __slots__ = ()

    def __repr__(self):
        d = self._data
        text = "Lacunarity(slope=%.4f" % d["slope"]
        if d.get("standardError") is not None:
            text += " ± %.4f" % d["standardError"]
        return text + ", n=%d)" % len(d.get("sides", []))


class Multifractal(_Result):
    """The multifractal spectrum: per ``q``, ``dq`` (D_q, key ``Dq``), ``tau``, ``alpha``
    and ``f`` with their standard errors and ``r_squared``; ``sides``, ``mass``, ``region``
    and, under a mask, ``mask_area``."""

    __slots__ = ()

    def __getattr__(self, name):
        if name in ("dq", "dq_standard_error"):
            return self._data.get("Dq" + name[2:].title().replace("_", ""))
        return _Result.__getattr__(self, name)

    def __repr__(self):
        d = self._data
        q, dq = d.get("q", []), d.get("Dq", [])
        shown = ["D%g=%.4f" % (qq, v) for qq, v in zip(q, dq) if qq in (0, 1, 2) and v is not None]
        return "Multifractal(%s, q=%d values)" % (", ".join(shown) or "no D_0, D_1, D_2", len(q))


# Arguments ---------------------------------------------------------------------


def _is_path(source):
    return isinstance(source, (str, bytes, _os.PathLike))


def _path(source):
    return _os.fsencode(_os.fspath(source))


def _options(region=None, grid=None, range=None, page=None, voxel=None):
    """The dimora3-cli options for these keywords."""
    options = []
    if region is not None:
        left, top, width, height = (int(v) for v in region)
        options += ["--region", "%d,%d,%d,%d" % (left, top, width, height)]
    if grid is not None:
        options += ["--grid", str(grid)]
    if range is not None:
        if isinstance(range, str):
            options += ["--range", range]
        else:
            low, high = range
            options += ["--range", "%d-%d" % (int(low), int(high))]
    if page is not None and page != 1:
        options += ["--page", "%d" % int(page)]
    if voxel is not None:
        options += ["--voxel", ",".join(repr(float(v)) for v in voxel)]
    return options


def _check_dtype(array):
    if array.dtype.kind not in "biuf":
        raise TypeError("dimora3 measures arrays of bool, integer or floating dtype, not %s" % array.dtype)


def _check_shape(array, shapes, described):
    """ValueError unless the array's shape matches one of shapes (None: any length)."""
    for shape in shapes:
        if array.ndim == len(shape) and all(want in (None, got) for want, got in zip(shape, array.shape)):
            return
    raise ValueError("expected an array of shape %s, got %s" % (described, array.shape))


def _occupancy(array, axes=2):
    """A uint8 view of an array (True / non-zero = 1), copied only when it must be."""
    array = _np.asarray(array)
    _check_dtype(array)
    _check_shape(array, [(None,) * axes], "(H, W)" if axes == 2 else "(Z, H, W)")
    if array.dtype.itemsize == 1 and array.dtype.kind in "biu" and array.strides[-1] == 1:
        return array.view(_np.uint8)
    return _np.ascontiguousarray(array != 0).view(_np.uint8)


def _grey(array):
    """A uint8 (H, W) array of grey levels: the red channel of colour (as the files'
    measurements read it), the high byte of wider unsigned samples (as the file readers
    keep it), 255 for True; other dtypes must hold levels 0 to 255."""
    array = _np.asarray(array)
    _check_dtype(array)
    _check_shape(array, [(None, None), (None, None, 3)], "(H, W) or (H, W, 3)")
    if array.ndim == 3:
        array = array[:, :, 0]
    if array.dtype == _np.uint8:
        return array if array.strides[-1] == 1 else _np.ascontiguousarray(array)
    if array.dtype == _np.bool_:
        return array.astype(_np.uint8) * _np.uint8(255)
    if array.dtype.kind == "u":
        return (array >> (8 * array.dtype.itemsize - 8)).astype(_np.uint8)
    if array.dtype.kind == "f":
        array = _np.rint(array)
    if array.size and (_np.nanmin(array) < 0 or _np.nanmax(array) > 255 or _np.isnan(array).any()):
        raise ValueError("grey levels of a %s array must lie in 0 to 255" % array.dtype)
    return array.astype(_np.uint8)


def _from_json(cls, text):
    return cls(_json.loads(text))


# Reading -----------------------------------------------------------------------


def read(path, page=1):
    """The pixels of an image file (BMP, PNG, TIFF or JPEG, told apart by content).

    A grey PNG or TIFF gives its samples as stored: an (H, W) array of uint8 (bilevel:
    0 and 255), uint16, uint32 or float32. Any other file whose pixels are all grey
    (a grey palette, a grey JPEG) gives (H, W) uint8, the rest (H, W, 3) uint8 RGB.
    ``page`` picks a page of a multi-page TIFF (1 = the first).
    """
    return _core.read(_path(path), int(page))


# Measurements ------------------------------------------------------------------


def _run(args):
    """dimora3-cli's standard output for these arguments; Error for a status it ends
    with other than 0 (without an exception of its own: batch's 2 for nothing found)."""
    status, out, err = _core.run(args)
    if status != 0:
        raise Error(err.rstrip("\n").splitlines()[-1] if err.strip() else "exit status %d" % status)
    return out


def _measure_path(command, path, options):
    return _json.loads(_run([command, _path(path)] + options + ["--json"]))


def _mask_options(mask):
    if mask is None:
        return []
    if not _is_path(mask):
        raise TypeError("a file is measured under a mask file; give an array mask with an array image")
    return ["--mask", _path(mask)]


def _mask_array(mask, image):
    """A uint8 (H, W) mask of the image's size: non-zero (True) inside. A mask file is
    read and inside where it is not black, as the command line reads --mask."""
    if _is_path(mask):
        mask = read(mask)
        if mask.ndim == 3:
            mask = mask.any(axis=2)
    mask = _occupancy(mask)
    if mask.shape != image.shape[:2]:
        raise ValueError("the mask is %s, the image %s" % (mask.shape, image.shape[:2]))
    return mask


def _measure_array(measurement, image, options, mask):
    if mask is None:
        return _core.measure(measurement, image, options)
    return _core.measure_masked(measurement, image, _mask_array(mask, image), options)


def black(image, *, region=None, page=1, grid=None, range=None, mask=None):
    """Box-counting dimension of the black pixels.

    ``image`` is a path (measured as ``dimora3-cli black`` measures it) or an array of
    grey levels, (H, W) or (H, W, 3), whose black pixels (red level 0) are counted.
    ``region`` is (left, top, width, height); ``grid`` "origin" or "min"; ``range``
    "all", "auto" or (s1, s2); ``mask`` a mask file or array (inside where not black /
    non-zero; the result gains ``mask_area``). Returns a :class:`BoxCount`.
    """
    if _is_path(image) and (mask is None or _is_path(mask)):
        return BoxCount(_measure_path("black", image, _options(region, grid, range, page) + _mask_options(mask)))
    if _is_path(image):
        image = read(image, page)
    return _from_json(BoxCount, _measure_array("black", _grey(image), _options(region, grid, range), mask))


def nonblack(image, *, region=None, page=1, grid=None, range=None, mask=None):
    """Box-counting dimension of the pixels that are not black; as :func:`black`."""
    if _is_path(image) and (mask is None or _is_path(mask)):
        return BoxCount(_measure_path("nonblack", image, _options(region, grid, range, page) + _mask_options(mask)))
    if _is_path(image):
        image = read(image, page)
    return _from_json(BoxCount, _measure_array("nonblack", _grey(image), _options(region, grid, range), mask))


def boxcount(image, *, region=None, grid=None, range=None, mask=None):
    """Box-counting dimension of the occupied elements of a 2-D array (True / non-zero).

    The array is read in place when it is bool or uint8 with contiguous rows. The
    result's keys are those of ``dimora3-cli black --json``, with ``measurement``
    "boxcount"; for a grey file ``boxcount(read(path) == 0)`` equals ``black(path)``.
    """
    return _from_json(BoxCount, _measure_array("boxcount", _occupancy(image), _options(region, grid, range), mask))


def gray(image, *, region=None, page=1, range=None, mask=None):
    """Dimension of the grey levels taken as a surface; a path or an array of levels."""
    if _is_path(image) and (mask is None or _is_path(mask)):
        return BoxCount(_measure_path("gray", image, _options(region, None, range, page) + _mask_options(mask)))
    if _is_path(image):
        image = read(image, page)
    return _from_json(BoxCount, _measure_array("gray", _grey(image), _options(region, None, range), mask))


def length(image, *, region=None, page=1):
    """Total length of the lines: the black pixels of a file, the occupied elements
    (True / non-zero) of an array. Returns a :class:`Length`."""
    if _is_path(image):
        return Length(_measure_path("length", image, _options(region, page=page)))
    return _from_json(Length, _core.measure("length", _occupancy(image), _options(region)))


def cubes(stack, *, voxel=(1.0, 1.0, 1.0), region=None, range=None):
    """Box-counting dimension in three dimensions.

    ``stack`` is a stack path (a folder of slices, the last file of a numbered series,
    or a multi-page TIFF: its black pixels are occupied) or a (Z, H, W) array (True /
    non-zero = occupied). ``voxel`` is the voxel's (x, y, z) edges, x equal to y.
    """
    options = _options(region, None, range, voxel=voxel)
    if _is_path(stack):
        return BoxCount(_measure_path("cubes", stack, options))
    return _from_json(BoxCount, _core.cubes(_occupancy(stack, axes=3), options))



def _lacunarity_options(method="gliding", empty=None, sides=None):
    options = ["--method", str(method)]
    if empty is not None:
        options += ["--empty", str(empty)]
    if sides is not None:
        options += ["--sides", ",".join("%d" % int(side) for side in sides)]
    return options


def _multifractal_options(q=None, mass="black"):
    options = ["--mass", str(mass)]
    if q is not None:
        options += ["--q", q if isinstance(q, str) else ",".join(repr(float(v)) for v in _np.ravel(q))]
    return options


def _black_of(path, page):
    """The black pixels of an image file as its lacunarity and black mass count them:
    red level 0 (the high byte of deeper samples)."""
    return _grey(read(path, page)) == 0


def lacunarity(image, *, method="gliding", empty=None, sides=None, region=None, page=1, mask=None):
    """Lacunarity per box side of the black pixels of a file, or of the occupied elements
    (True / non-zero) of a 2-D array.

    ``method`` "gliding" (every position) or "grid" (tiled boxes, with ``empty``
    "include" or "exclude"); ``sides`` the box sides (default 1, 2, 4, ... up to half
    the region's shorter edge); ``mask`` a mask file (inside where not black) or an
    array of the image's shape (True / non-zero inside); the result then gains
    ``mask_area``. Returns a :class:`Lacunarity`, the object of
    ``dimora3-cli lacunarity --json``.
    """
    options = _lacunarity_options(method, empty, sides)
    if _is_path(image) and (mask is None or _is_path(mask)):
        return Lacunarity(_measure_path("lacunarity", image, options + _options(region, page=page) + _mask_options(mask)))
    pixels = _occupancy(_black_of(image, page) if _is_path(image) else image)
    inside = None if mask is None else _mask_array(mask, pixels)
    return _from_json(Lacunarity, _core.measure_mass("lacunarity", pixels, options + _options(region), inside))


def multifractal(image, *, q=None, mass="black", region=None, range=None, page=1, mask=None):
    """The multifractal spectrum of a file or a 2-D array: D_q, τ, α and f per q.

    ``q`` a sequence of numbers or "FROM:TO:STEP" (default -10:10:0.5); ``mass``
    "black" (each occupied pixel 1) or "gray" (the grey samples at the file's depth, or
    the array's values as masses); ``range`` "all" or (s1, s2); ``mask`` a mask file
    or an array of the image's shape (True / non-zero inside; the result then gains
    ``mask_area``). Returns a :class:`Multifractal`, the object of
    ``dimora3-cli multifractal --json``.
    """
    options = _multifractal_options(q, mass)
    if _is_path(image) and (mask is None or _is_path(mask)):
        return Multifractal(
            _measure_path("multifractal", image, options + _options(region, None, range, page) + _mask_options(mask))
        )
    options += _options(region, None, range)
    if mass == "gray":
        samples = _samples(read(image, page) if _is_path(image) else image)
        inside = None if mask is None else _mask_array(mask, samples)
        return _from_json(Multifractal, _core.measure_sample_mass(samples, options, inside))
    pixels = _occupancy(_black_of(image, page) if _is_path(image) else image)
    inside = None if mask is None else _mask_array(mask, pixels)
    return _from_json(Multifractal, _core.measure_mass("multifractal", pixels, options, inside))


def _samples(array):
    """An (H, W) array of masses in a type the core keeps (uint8, uint16, uint32 or
    float32): integers in the narrowest unsigned type that holds them (the numbers of a
    file of that depth), anything else as float32."""
    array = _np.asarray(array)
    _check_dtype(array)
    _check_shape(array, [(None, None)], "(H, W)")
    if array.dtype in (_np.uint8, _np.uint16, _np.uint32, _np.float32):
        return array
    if array.dtype.kind in "biu" and array.size:
        low, high = int(array.min()), int(array.max())
        for kind in (_np.uint8, _np.uint16, _np.uint32):
            if low >= 0 and high <= _np.iinfo(kind).max:
                return array.astype(kind)
    return array.astype(_np.float32)


# The keywords that objects() of arrays passes on, per measurement.
_OBJECT_OPTIONS = {
    "lacunarity": ("method", "empty", "sides"),
    "multifractal": ("q", "mass", "range"),
}


def objects(image, labels, *, measurement="boxcount", mask=None, page=1, **options):
    """Every object of a label image measured on its own: a list of dicts, one per
    non-zero label in ascending order, the rows of ``dimora3-cli MEASUREMENT IMAGE
    --labels LABELS`` (``label``, ``bbox`` [l, t, w, h], ``area``, ``status`` and the
    measurement's keys, or ``error`` for an object that could not be measured).

    ``measurement`` is boxcount, black, nonblack, gray, lacunarity or multifractal;
    further keywords are its options: ``grid`` and ``range`` for the dimensions,
    ``method``, ``empty`` and ``sides`` for lacunarity, ``q``, ``mass`` and ``range``
    for multifractal. With paths for the image and labels (and mask) the command line
    measures them ("boxcount" stands for black). With arrays (an image, (H, W) integer
    labels) boxcount, lacunarity and multifractal count the occupied elements (True /
    non-zero; with ``mass="gray"`` the values are the masses), black, nonblack and gray
    read grey levels; rows have no ``path``, and labels without any object give no rows
    (a label file without any is an Error, as the command line reports it).
    """
    if _is_path(image) and _is_path(labels) and (mask is None or _is_path(mask)):
        name = "black" if measurement == "boxcount" else str(measurement)
        args = [name, _path(image), "--labels", _path(labels), "--format", "jsonl"] + _mask_options(mask)
        args += _options(page=page, grid=options.pop("grid", None), range=options.pop("range", None))
        for key, value in options.items():
            if isinstance(value, (list, tuple, _np.ndarray)):
                value = ",".join(str(v) for v in _np.ravel(value))
            args += ["--" + key.replace("_", "-"), str(value)]
        status, out, err = _core.run(args)
        if status == 2:
            raise Error(err.rstrip("\n").splitlines()[-1])
        return [_json.loads(line) for line in out.splitlines() if line.strip()]

    measurement = str(measurement)
    taken = _OBJECT_OPTIONS.get(measurement, ("grid", "range"))
    unknown = set(options) - set(taken)
    if unknown:
        raise TypeError(
            "objects of arrays measured by %s take %s, not %s"
            % (measurement, ", ".join(taken), ", ".join(sorted(unknown)))
        )
    if _is_path(labels):
        labels = read(labels)
    if measurement not in _OBJECT_OPTIONS:
        if _is_path(image):
            image = read(image, page)
        pixels = _occupancy(image) if measurement == "boxcount" else _grey(image)
        inside = None if mask is None else _mask_array(mask, pixels)
        lines = _core.measure_objects(
            measurement, pixels, _labels(labels), inside, _options(None, options.get("grid"), options.get("range"))
        )
        return [_json.loads(line) for line in lines.splitlines()]

    if measurement == "lacunarity":
        settings = _lacunarity_options(options.get("method", "gliding"), options.get("empty"), options.get("sides"))
    else:
        settings = _multifractal_options(options.get("q"), options.get("mass", "black"))
        settings += _options(None, None, options.get("range"))
    if measurement == "multifractal" and options.get("mass") == "gray":
        pixels = _samples(read(image, page) if _is_path(image) else image)
    else:
        pixels = _occupancy(_black_of(image, page) if _is_path(image) else image)
    inside = None if mask is None else _mask_array(mask, pixels)
    lines = _core.measure_mass_objects(measurement, pixels, _labels(labels), inside, settings)
    return [_json.loads(line) for line in lines.splitlines()]


def _labels(array):
    """(H, W) labels as uint8, uint16 or uint32."""
    array = _np.asarray(array)
    _check_dtype(array)
    _check_shape(array, [(None, None)], "(H, W)")
    if array.dtype in (_np.uint8, _np.uint16, _np.uint32):
        return array
    if array.dtype.kind in "biu" and (array.size == 0 or (array.min() >= 0 and array.max() <= 0xFFFFFFFF)):
        return array.astype(_np.uint32)
    raise ValueError("labels are integers from 0 to 4294967295")


def _require_path(source):
    if not _is_path(source):
        raise TypeError("this measurement takes a file path, not %s" % type(source).__name__)
    return source


def operations():
    """The names of the image operations that :func:`process` applies."""
    return list(_core.process_operations())


def process(operation, image, *, threshold=0):
    """A new array: the image operation ``operation`` (see :func:`operations`) applied
    to a copy of ``image``, an (H, W) uint8 grey or (H, W, 3) uint8 RGB array, or a bool
    mask (True = black), which comes back as a bool mask. ``threshold`` is that of the
    colour extractions (green, red)."""
    array = _np.asarray(image)
    _check_dtype(array)
    _check_shape(array, [(None, None), (None, None, 3)], "(H, W) or (H, W, 3)")
    mask = array.dtype == _np.bool_
    if mask:
        if array.ndim != 2:
            raise ValueError("a bool mask has shape (H, W), got %s" % (array.shape,))
        array = _np.where(array, _np.uint8(0), _np.uint8(255))
    elif array.dtype != _np.uint8:
        raise ValueError("process takes uint8 images or bool masks, not %s" % array.dtype)
    out = _core.process(str(operation), array, int(threshold))
    if mask:
        return out == 0 if out.ndim == 2 else out[:, :, 0] == 0
    return out
