# Dimora3 — fractal dimension by box counting.
# SPDX-License-Identifier: MIT
"""What the module's tests share: the command line to compare with, and test files."""

import json
import os
import shutil
import subprocess
from pathlib import Path

import pytest

SOURCE = Path(os.environ.get("DIMORA_SOURCE", Path(__file__).resolve().parents[2]))
CARPET = SOURCE / "samples" / "sierpinski-carpet.bmp"
BMP = SOURCE / "tests" / "data" / "bmpsuite" / "g"
PNG = SOURCE / "tests" / "data" / "pngsuite"

# Files of several readers and layouts: a 1-bit BMP, 8-bit grey and colour
# palettes, 24 and 16 bits, grey PNG at 1, 8 and 16 bits, colour PNG.
FILES = [
    CARPET,
    BMP / "pal1.bmp",
    BMP / "pal8gs.bmp",
    BMP / "pal8.bmp",
    BMP / "rgb24.bmp",
    BMP / "rgb16-565.bmp",
    PNG / "basn0g01.png",
    PNG / "basn0g08.png",
    PNG / "basn0g16.png",
    PNG / "basn2c08.png",
]


def cli_path():
    path = os.environ.get("DIMORA_CLI")
    if not path:
        pytest.skip("DIMORA_CLI names no dimora3-cli")
    return path


def run_cli(*args):
    """dimora3-cli's exit status, standard output and standard error."""
    done = subprocess.run([cli_path(), *map(str, args)], capture_output=True, text=True)
    return done.returncode, done.stdout, done.stderr


def cli_json(*args):
    status, out, err = run_cli(*args, "--json")
    assert status == 0, err
    return json.loads(out)


def cli_outcome(*args):
    """The --json object of a run, or the error line of a run that ends with status 1."""
    status, out, err = run_cli(*args, "--json")
    assert status in (0, 1), err
    return json.loads(out) if status == 0 else ("error", err.rstrip("\n").splitlines()[-1])


def outcome(call):
    """The same of a call of the module: its result's dict, or its dimora3.Error's text."""
    import dimora3

    try:
        return call().to_dict()
    except dimora3.Error as error:
        return ("error", str(error))


@pytest.fixture(scope="session")
def stack_folder(tmp_path_factory):
    """A folder of four slices cut from the carpet's pixels by the command line."""
    folder = tmp_path_factory.mktemp("stack")
    for k in range(4):
        shutil.copy(CARPET, folder / ("slice%d.bmp" % k))
    status, _, err = run_cli("process", "invert", CARPET, folder / "slice4.bmp")
    assert status == 0, err
    return folder


def write_grey_png(path, samples):
    """An 8- or 16-bit grey PNG of a uint8 or uint16 (H, W) array."""
    import struct
    import zlib

    import numpy as np

    samples = np.asarray(samples)
    depth = 16 if samples.dtype == np.uint16 else 8
    rows = samples.astype(">u2" if depth == 16 else np.uint8)
    raw = b"".join(b"\0" + row.tobytes() for row in rows)

    def chunk(kind, data):
        body = kind + data
        return struct.pack(">I", len(data)) + body + struct.pack(">I", zlib.crc32(body))

    header = struct.pack(">IIBBBBB", samples.shape[1], samples.shape[0], depth, 0, 0, 0, 0)
    Path(path).write_bytes(
        b"\x89PNG\r\n\x1a\n" + chunk(b"IHDR", header) + chunk(b"IDAT", zlib.compress(raw)) + chunk(b"IEND", b"")
    )
    return path


@pytest.fixture(scope="session")
def carpet_masks(tmp_path_factory):
    """A disc mask of the carpet's size, and a 16-bit label image of four objects: two
    squares, a ring cut by the disc, and a single pixel (too small to fit)."""
    import numpy as np

    folder = tmp_path_factory.mktemp("masks")
    y, x = np.mgrid[0:729, 0:729]
    disc = (x - 364) ** 2 + (y - 300) ** 2 < 300**2
    labels = np.zeros((729, 729), np.uint16)
    labels[10:300, 20:340] = 7
    labels[400:700, 380:700] = 300
    labels[((x - 364) ** 2 + (y - 364) ** 2 > 320**2) & ((x - 364) ** 2 + (y - 364) ** 2 < 360**2)] = 1000
    labels[720, 5] = 65535
    return (
        write_grey_png(folder / "disc.png", np.where(disc, 255, 0).astype(np.uint8)),
        write_grey_png(folder / "labels.png", labels),
    )
