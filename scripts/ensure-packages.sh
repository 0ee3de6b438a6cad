# Sourced by ./run and ./test: installs the Debian packages the build needs,
# and does nothing (quickly) when they are all there already.
# What the program needs to build and run; ./test adds KQ71WB_TEST_PACKAGES.
KQ71WB_PACKAGES=(
    g++ cmake ninja-build libcups2-dev libfast-float-dev libfmt-dev
    qt6-base-dev qt6-qpa-plugins
    fonts-liberation2
)
# The fonts are those the window's tests name: Noto Sans, which many pilots'
# desktops use, DejaVu Sans and Cantarell; Node.js holds the web page's
# declaration to the core's answers.
KQ71WB_TEST_PACKAGES=(libgtest-dev libgmock-dev libbenchmark-dev fonts-noto-core fonts-dejavu-core fonts-cantarell
    nodejs)

# ensure_packages [--no-install-recommends] PACKAGE...
ensure_packages() {
    local options=()
    if [ "${1:-}" = --no-install-recommends ]; then
        options=("$1")
        shift
    fi
    local missing=()
    local package
    for package in "${KQ71WB_PACKAGES[@]}" "$@"; do
        if ! dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q 'install ok installed'; then
            missing+=("$package")
        fi
    done
    [ ${#missing[@]} -eq 0 ] && return 0
    echo "Installing ${missing[*]} ..."
    local sudo=()
    [ "$(id -u)" -ne 0 ] && sudo=(sudo)
    "${sudo[@]}" apt-get update -qq
    DEBIAN_FRONTEND=noninteractive "${sudo[@]}" apt-get install -y -qq "${options[@]}" "${missing[@]}"
}

# Generates a locale for the tests when the machine lacks it.
ensure_locale() {
    local wanted=$1
    locale -a 2>/dev/null | grep -qix "${wanted/UTF-8/utf8}" && return 0
    ensure_packages locales
    echo "Generating the $wanted locale: enabling it in /etc/locale.gen and running locale-gen ..."
    local sudo=()
    [ "$(id -u)" -ne 0 ] && sudo=(sudo)
    "${sudo[@]}" sed -i "s/^# *\(${wanted} UTF-8\)/\1/" /etc/locale.gen
    grep -q "^${wanted} UTF-8" /etc/locale.gen || echo "${wanted} UTF-8" | "${sudo[@]}" tee -a /etc/locale.gen >/dev/null
    "${sudo[@]}" locale-gen >/dev/null
}
