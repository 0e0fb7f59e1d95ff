# Shared by ./play, ./test and ./package: install what a fresh Debian 12
# machine lacks, then configure and build. Sourced, not run. Quiet when there
# is nothing to do.

# Building and running on X and Wayland; X and Wayland servers for the
# end-to-end tests (python3 reads their boards and statistics); making and
# checking the Debian package.
PORTEKA_PACKAGES=(g++ cmake ninja-build pkg-config qt6-base-dev qt6-qpa-plugins qt6-wayland libxcb1-dev
  libsdl2-dev libsdl2-mixer-dev libgtest-dev libgmock-dev libbenchmark-dev
  nlohmann-json3-dev fonts-ipafont-gothic fonts-ipafont-mincho
  xvfb xauth openbox xdotool x11-utils imagemagick weston
  dpkg-dev file desktop-file-utils appstream lintian python3)

porteka_install_missing() {
  local missing=() pkg
  for pkg in "${PORTEKA_PACKAGES[@]}"; do
    dpkg-query -W -f='${Status}' "$pkg" 2>/dev/null | grep -q 'install ok installed' \
      || missing+=("$pkg")
  done
  [ ${#missing[@]} -eq 0 ] && return 0

  local apt=(apt-get install -y --no-install-recommends "${missing[@]}")
  local sudo=()
  if [ "$(id -u)" -ne 0 ]; then
    if command -v sudo >/dev/null 2>&1 && sudo -n true 2>/dev/null; then
      sudo=(sudo)
    else
      echo "Missing packages. Run as root:" >&2
      echo "  apt-get update && ${apt[*]}" >&2
      return 1
    fi
  fi
  echo "Installing: ${missing[*]}" >&2
  DEBIAN_FRONTEND=noninteractive "${sudo[@]}" apt-get update -qq >/dev/null \
    && DEBIAN_FRONTEND=noninteractive "${sudo[@]}" "${apt[@]}" -qq >/dev/null \
    || { echo "apt-get failed" >&2; return 1; }
}

# porteka_build DIR BUILD_TYPE [cmake options...] -- [targets...]
porteka_build() {
  local dir=$1 type=$2; shift 2
  local opts=() targets=()
  while [ $# -gt 0 ] && [ "$1" != "--" ]; do opts+=("$1"); shift; done
  [ "${1:-}" = "--" ] && shift
  targets=("$@")
  if [ ! -f "$dir/build.ninja" ]; then
    cmake -S "$PORTEKA_ROOT" -B "$dir" -G Ninja -DCMAKE_BUILD_TYPE="$type" "${opts[@]}" >/dev/null \
      || { echo "configure failed" >&2; return 1; }
  fi
  local t=()
  [ ${#targets[@]} -gt 0 ] && t=(--target "${targets[@]}")
  cmake --build "$dir" "${t[@]}" -- --quiet \
    || { echo "build failed" >&2; return 1; }
}
