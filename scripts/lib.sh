# Shared helpers for the project's scripts. Source it; do not run it.

TOP=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
BUILD_DIR=${TARVIK_BUILD_DIR:-$TOP/build}

# Debian packages the build, the tests and the demo need.
TARVIK_PACKAGES=(
  cmake ninja-build g++ pkg-config
  qt6-base-dev libgl-dev
  libmariadb-dev mariadb-server mariadb-client
  libgtest-dev libgmock-dev
  libcli11-dev nlohmann-json3-dev openssl
  xvfb xauth openbox imagemagick fonts-dejavu-core
  clang-14 libclang-rt-14-dev valgrind
)

# What the Windows cross build and its run under Wine add (scripts/test-windows,
# scripts/package-windows, scripts/windows-client-library).
TARVIK_WINDOWS_PACKAGES=(g++-mingw-w64-x86-64 binutils-mingw-w64-x86-64 wine64 googletest dpkg-dev)
# What the Windows setup program, its zip and their tests under Wine add (scripts/package-windows).
TARVIK_WINDOWS_PACKAGE_TOOLS=(nsis msitools wixl zip unzip imagemagick xvfb openbox xdotool x11-utils)

# Installs whatever of the list above is missing. Runs apt-get update once, only when needed.
ensure_packages() {
  local missing=()
  local p
  for p in "${TARVIK_PACKAGES[@]}" "$@"; do
    dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || missing+=("$p")
  done
  [ ${#missing[@]} -eq 0 ] && return 0
  echo "installing: ${missing[*]}"
  local sudo=""
  [ "$(id -u)" -ne 0 ] && sudo="sudo"
  $sudo apt-get update -qq
  DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y --no-install-recommends "${missing[@]}" </dev/null
}

# Configures the tree once. Extra arguments go to cmake's configure step.
configure_tree() {
  if [ ! -f "$BUILD_DIR/build.ninja" ]; then
    cmake -S "$TOP" -B "$BUILD_DIR" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo "$@"
  fi
}

# Configures (once) and builds the tree. Extra arguments go to cmake's configure step.
build_tree() {
  configure_tree "$@"
  cmake --build "$BUILD_DIR" -j "$(nproc)"
}

# Configures (once) and builds only the named targets.
build_targets() {
  configure_tree
  cmake --build "$BUILD_DIR" -j "$(nproc)" --target "$@"
}

# The throwaway server's root password (scripts/test-db sets it; the tests and the demo log in
# with it).
TEST_DB_PASSWORD=${TARVIK_DB_PASSWORD:-tarvik-test-pw}

# The mariadb client, as root on the throwaway server (127.0.0.1:3306); arguments go to the client.
test_sql() { MYSQL_PWD="$TEST_DB_PASSWORD" mariadb --no-defaults -h127.0.0.1 -P3306 -uroot "$@"; }

# Makes the database afresh on the throwaway server with the branch tables that the tests and the
# demo share (tests/support/branch-schema.sql, which the C++ tests build in too); a script that
# needs other columns or rows changes them after this.
make_branch_database() {
  { echo "DROP DATABASE IF EXISTS $1; CREATE DATABASE $1 CHARACTER SET latin1; USE $1;"
    cat "$TOP/tests/support/branch-schema.sql"; } | test_sql
}

# The project's version: the latest entry of packaging/changelog, where it is written once (the
# build reads it into project() the same way).
tarvik_version() {
  local version
  version=$(sed -n '1s/^tarvik (\([0-9]*\.[0-9]*\.[0-9]*\)).*/\1/p' "$TOP/packaging/changelog")
  [ -n "$version" ] || { echo "packaging/changelog does not start with \"tarvik (X.Y.Z)\"" >&2; return 1; }
  echo "$version"
}

# The window's executable in the tree (the Qt window; the settings files go beside it).
window_program() { echo "$BUILD_DIR/app/qt/tarvik"; }

# What the fleet's Ansible collection, its test and its benchmark need (tests/fleet/test-fleet,
# bench/fleet/fleet-bench): Ansible with the Windows collections, the linter, and GNU time.
TARVIK_FLEET_PACKAGES=(ansible ansible-core ansible-lint python3-yaml mariadb-server mariadb-client time)

# What building and checking the Debian package needs beyond the list above.
TARVIK_PACKAGE_TOOLS=(dpkg-dev file gzip lintian desktop-file-utils appstream man-db xdotool systemd)

# The Windows build (cross-built with mingw-w64, no Qt), in its own tree: configured (the
# client library for Windows built first, once per machine) and built. Extra arguments go to
# cmake's configure step.
WINDOWS_BUILD_DIR=${TARVIK_WINDOWS_BUILD_DIR:-$TOP/build-windows}
build_windows_tree() {
  ensure_packages "${TARVIK_WINDOWS_PACKAGES[@]}"
  local client_dir
  client_dir=$("$TOP/scripts/windows-client-library" | tail -n 1)
  cmake -S "$TOP" -B "$WINDOWS_BUILD_DIR" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
    -DCMAKE_TOOLCHAIN_FILE="$TOP/cmake/mingw-w64-x86_64.cmake" \
    -DTARVIK_WINDOWS_CLIENT_DIR="$client_dir" \
    -DTARVIK_GTEST_SOURCE_DIR=/usr/src/googletest \
    -DCMAKE_CROSSCOMPILING_EMULATOR="$(wine_launcher)" "$@" >/dev/null
  cmake --build "$WINDOWS_BUILD_DIR" -j "${TARVIK_JOBS:-$(nproc)}"
}

# Debian's wine64 keeps its launcher in its own library folder, off PATH.
wine_launcher() {
  local candidate
  for candidate in $(dpkg -L wine64 | grep -E '/wine64$'); do
    if [ -f "$candidate" ] && [ -x "$candidate" ]; then echo "$candidate"; return 0; fi
  done
  echo "no wine64 launcher found" >&2
  return 1
}

# The wineserver that goes with the launcher WINE (beside it, named wineserver64 or wineserver).
wine_server() {
  local dir
  dir=$(dirname "$1")
  if [ -x "$dir/wineserver64" ]; then echo "$dir/wineserver64"; else echo "$dir/wineserver"; fi
}
