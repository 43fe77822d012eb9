# Shared by the scripts: installs missing Debian packages and builds.

project_dir="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"

# Installs the packages of the given lists (default: scripts/debian-packages) that are
# not installed yet.
ensure_packages() {
    local lists=("$@") wanted missing=()
    [ ${#lists[@]} -eq 0 ] && lists=("$project_dir/scripts/debian-packages")
    wanted=$(cat "${lists[@]}" | grep -v '^\s*#' | grep -v '^\s*$')
    for package in $wanted; do
        if ! dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q 'install ok installed'; then
            missing+=("$package")
        fi
    done
    [ ${#missing[@]} -eq 0 ] && return 0

    local sudo=""
    if [ "$(id -u)" -ne 0 ]; then
        command -v sudo >/dev/null || { echo "Installing ${missing[*]} needs root or sudo." >&2; exit 1; }
        sudo="sudo"
    fi
    echo "Installing Debian packages: ${missing[*]}"
    $sudo env DEBIAN_FRONTEND=noninteractive apt-get update -q
    $sudo env DEBIAN_FRONTEND=noninteractive apt-get install -y -q --no-install-recommends "${missing[@]}"
}

# Configures (once) and builds the given preset: everything, or only the given targets.
build_preset() {
    local preset="$1"
    shift
    cd "$project_dir"
    if [ ! -f "build/$preset/CMakeCache.txt" ]; then
        cmake --preset "$preset"
    fi
    cmake --build --preset "$preset" ${1:+--target "$@"}
}
