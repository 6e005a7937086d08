"""The build backend of `pip install .`: the project's CMake build makes the
package folder vornel/ (the extension module for the interpreter that runs
pip, and the Python files beside it), and this zips that folder into a
wheel. The sources are the build's own; nothing comes from a package index."""
import base64
import hashlib
import pathlib
import re
import shutil
import subprocess
import sys
import sysconfig
import tempfile
import zipfile

ROOT = pathlib.Path(__file__).resolve().parent.parent
VERSION = re.search(r"project\(vornel VERSION ([0-9.]+)",
                    (ROOT / "CMakeLists.txt").read_text())[1]
PYTHON = "cp{}{}".format(*sys.version_info[:2])
TAG = f"{PYTHON}-{PYTHON}-{re.sub(r'[-.]', '_', sysconfig.get_platform())}"
INFO = f"vornel-{VERSION}.dist-info"


def built_package(build):
    """The package folder, built in `build` for this interpreter."""
    generator = ["-G", "Ninja"] if shutil.which("ninja") else []
    subprocess.run(["cmake", "-S", str(ROOT), "-B", str(build), *generator,
                    "-DCMAKE_BUILD_TYPE=Release", f"-DPython3_EXECUTABLE={sys.executable}",
                    "-DVORNEL_BUILD_PYTHON=ON", "-DVORNEL_BUILD_TESTS=OFF",
                    "-DVORNEL_BUILD_TOOLS=OFF", "-DVORNEL_INSTALL=OFF"], check=True)
    subprocess.run(["cmake", "--build", str(build), "--target", "vornel_python"], check=True)
    return build / "python" / "vornel"


def record_line(name, data):
    digest = base64.urlsafe_b64encode(hashlib.sha256(data).digest()).rstrip(b"=").decode()
    return f"{name},sha256={digest},{len(data)}\n"


def build_wheel(wheel_directory, config_settings=None, metadata_directory=None):
    with tempfile.TemporaryDirectory() as build:
        package = built_package(pathlib.Path(build))
        files = {f"vornel/{path.name}": path.read_bytes()
                 for path in sorted(package.iterdir()) if path.is_file()}
    files[f"{INFO}/METADATA"] = (
        f"Metadata-Version: 2.1\nName: vornel\nVersion: {VERSION}\nLicense: MIT\n"
        "Summary: Lexical POSIX paths with the exact answers of libvornel's C++ path class\n"
        "Requires-Python: >=3.11\n").encode()
    files[f"{INFO}/WHEEL"] = (
        f"Wheel-Version: 1.0\nGenerator: vornel\nRoot-Is-Purelib: false\nTag: {TAG}\n").encode()
    record = "".join(record_line(name, data) for name, data in files.items())
    files[f"{INFO}/RECORD"] = (record + f"{INFO}/RECORD,,\n").encode()
    name = f"vornel-{VERSION}-{TAG}.whl"
    with zipfile.ZipFile(pathlib.Path(wheel_directory) / name, "w", zipfile.ZIP_DEFLATED) as wheel:
        for path, data in files.items():
            wheel.writestr(path, data)
    return name
