# Dimora3 — fractal dimension by box counting.
# SPDX-License-Identifier: MIT
# Type stubs of the dimora3 package, for editors and type checkers.
import os
from typing import Any, Literal, Sequence, Union

import numpy as np
import numpy.typing as npt

_Path = Union[str, bytes, os.PathLike[str], os.PathLike[bytes]]
_Image = Union[_Path, npt.ArrayLike]
_Region = tuple[int, int, int, int]
_Grid = Literal["origin", "min"]
_Range = Union[Literal["all", "auto"], tuple[int, int]]
_Mask = Union[_Path, npt.ArrayLike, None]
_ObjectMeasurement = Literal["boxcount", "black", "nonblack", "gray", "lacunarity", "multifractal"]

class Error(ValueError): ...

class _Result:
    def to_dict(self) -> dict[str, Any]: ...
    def __getattr__(self, name: str) -> Any: ...

class BoxCount(_Result):
    measurement: str
    dimension: float | None
    standard_error: float | None
    ci95: tuple[float, float] | None
    r_squared: float | None
    n: int | None
    r: float | None
    slope: float | None
    intercept: float | None
    sides: list[int]
    counts: list[int]
    count_list: list[str]
    coverage: float | None
    brightness: float | None
    region: tuple[int, int, int, int]
    fields: list[str]
    grid: str | None
    offsets: list[list[int]] | None
    range: tuple[int, int] | None
    local_slopes: list[float | None] | None
    range_rule: str | None
    range_note: str | None
    slices: int | None
    voxel: tuple[float, float, float] | None
    slices_per_box: list[int] | None
    last_file: str | None
    mask_area: int | None

class Lacunarity(_Result):
    measurement: str
    region: tuple[int, int, int, int]
    method: str
    empty: str | None
    sides: list[int]
    lacunarity: list[float]
    slope: float
    standard_error: float | None
    mask_area: int | None

class Multifractal(_Result):
    measurement: str
    region: tuple[int, int, int, int]
    mass: str
    sides: list[int]
    q: list[float]
    dq: list[float | None]
    tau: list[float | None]
    alpha: list[float | None]
    f: list[float | None]
    dq_standard_error: list[float | None]
    alpha_standard_error: list[float | None]
    f_standard_error: list[float | None]
    r_squared: list[float | None]
    mask_area: int | None

class Length(_Result):
    measurement: str
    length: float | None
    region: tuple[int, int, int, int]
    fields: list[str]

def read(path: _Path, page: int = 1) -> npt.NDArray[Any]: ...
def black(
    image: _Image,
    *,
    region: _Region | None = None,
    page: int = 1,
    grid: _Grid | None = None,
    range: _Range | None = None,
    mask: _Mask = None,
) -> BoxCount: ...
def nonblack(
    image: _Image,
    *,
    region: _Region | None = None,
    page: int = 1,
    grid: _Grid | None = None,
    range: _Range | None = None,
    mask: _Mask = None,
) -> BoxCount: ...
def boxcount(
    image: npt.ArrayLike,
    *,
    region: _Region | None = None,
    grid: _Grid | None = None,
    range: _Range | None = None,
    mask: _Mask = None,
) -> BoxCount: ...
def gray(
    image: _Image, *, region: _Region | None = None, page: int = 1, range: _Range | None = None, mask: _Mask = None
) -> BoxCount: ...
def length(image: _Image, *, region: _Region | None = None, page: int = 1) -> Length: ...
def cubes(
    stack: _Image,
    *,
    voxel: Sequence[float] = (1.0, 1.0, 1.0),
    region: _Region | None = None,
    range: _Range | None = None,
) -> BoxCount: ...
def lacunarity(
    image: _Image,
    *,
    method: Literal["gliding", "grid"] = "gliding",
    empty: Literal["include", "exclude"] | None = None,
    sides: Sequence[int] | None = None,
    region: _Region | None = None,
    page: int = 1,
    mask: _Mask = None,
) -> Lacunarity: ...
def multifractal(
    image: _Image,
    *,
    q: Union[str, Sequence[float], npt.ArrayLike, None] = None,
    mass: Literal["black", "gray"] = "black",
    region: _Region | None = None,
    range: Union[Literal["all"], tuple[int, int], None] = None,
    page: int = 1,
    mask: _Mask = None,
) -> Multifractal: ...
def objects(
    image: _Image,
    labels: _Image,
    *,
    measurement: _ObjectMeasurement = "boxcount",
    mask: _Mask = None,
    page: int = 1,
    **options: Any,
) -> list[dict[str, Any]]: ...
def operations() -> list[str]: ...
def process(operation: str, image: npt.ArrayLike, *, threshold: int = 0) -> npt.NDArray[Any]: ...
