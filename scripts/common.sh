# Shared by ./run and ./test: install what is missing, then configure and build into build/.
set -euo pipefail
ROOT="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
BUILD="${TRACTION_BUILD_DIR:-$ROOT/build}"

# install_deps [LIST]: the packages of LIST (default scripts/deps) that are not installed yet.
install_deps() {
  local list="${1:-$ROOT/scripts/deps}"
  local missing=()
  while read -r pkg; do
    [[ -z "$pkg" || "$pkg" == \#* ]] && continue
    if ! dpkg-query -W -f='${Status}' "$pkg" 2>/dev/null | grep -q 'install ok installed'; then
      missing+=("$pkg")
    fi
  done < "$list"
  if ((${#missing[@]})); then
    echo "Installing: ${missing[*]}"
    local sudo=""
    [[ $(id -u) -ne 0 ]] && sudo="sudo"
    $sudo apt-get update
    DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y --no-install-recommends "${missing[@]}"
  fi
}

configure_and_build() {
  # ccache takes what the compiler found from its dependency list rather than running the
  # preprocessor first: a fresh machine's build, all misses, runs the compiler alone.
  export CCACHE_DEPEND=1
  cmake -S "$ROOT" -B "$BUILD" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
  cmake --build "$BUILD" -j "$(nproc)" "$@"
}

# cxx_sources: every C++ file clang-format keeps to .clang-format, NUL-separated.
cxx_sources() {
  (cd "$ROOT" && find src tools tests bench docs -type f \( -name '*.cpp' -o -name '*.h' \) -print0 | sort -z)
}
