#!/usr/bin/env bash
# Makes every picture in docs/ from today's build: run it whenever the look
# of the window, the page or the load sheet changes, and commit what changed.
#   window.png in-use.png loading.png dark.png warnings.png scale-band.png
#       the window under Xvfb and openbox, typed into as a pilot types;
#   load-sheet.pdf load-sheet.png
#       the load sheet as the program saves it when there is no printer;
#   web-phone.png web-phone-large-text.png web-desktop.png web-envelope-phone.png
#       the page in Chromium at a phone's and a desktop's sizes (screenshots.mjs).
# Each picture is the same at every run on any machine: the fonts are named
# and checked (DejaVu Sans for the desktop, Liberation Sans for Arial), no
# other font is in sight, the clock stands at 2026-12-07 14:03 UTC (faketime
# for the program, Playwright's clock for the page), and the sample
# loadings file is dated 2026-12-01 09:12. Nothing is printed and nothing of
# the user's is read or written: HOME is a folder of its own, and the
# printing system is out of reach (CUPS_SERVER), so the page is saved as PDF.
set -euo pipefail
cd "$(dirname "$0")/.."
source scripts/ensure-packages.sh
ensure_packages --no-install-recommends xvfb openbox qt6ct xdotool x11-utils imagemagick faketime \
    poppler-utils fonts-dejavu-core fonts-liberation2 emscripten nodejs chromium

# Today's build of the program and of the page.
jobs=$(nproc)
[ -f build-release/CMakeCache.txt ] || cmake --preset release
cmake --build --preset release -j "$jobs"
[ -f build-wasm/CMakeCache.txt ] || cmake --preset wasm
cmake --build --preset wasm -j "$jobs"
if [ ! tests/web/node_modules/.package-lock.json -nt tests/web/package-lock.json ]; then
    command -v npm >/dev/null || ensure_packages npm
    (cd tests/web && npm ci --no-audit --no-fund)
fi

work=$(mktemp -d)
pids=()
cleanup() {
    local pid
    for pid in "${pids[@]}"; do kill "$pid" 2>/dev/null || true; done
    wait 2>/dev/null || true
    rm -rf "$work"
}
trap cleanup EXIT

# A home of its own, in a fixed zone and language, with the fonts named.
export HOME=$work/home XDG_CONFIG_HOME=$work/home/.config XDG_DATA_HOME=$work/home/.local/share \
    XDG_CACHE_HOME=$work/home/.cache XDG_RUNTIME_DIR=$work/runtime TZ=UTC LC_ALL=C.UTF-8 LANGUAGE=
unset DBUS_SESSION_BUS_ADDRESS WAYLAND_DISPLAY QT_QPA_PLATFORMTHEME QT_STYLE_OVERRIDE QT_SCALE_FACTOR \
    QT_SCREEN_SCALE_FACTORS QT_FONT_DPI
mkdir -p "$XDG_CONFIG_HOME/kq71wb" "$XDG_CONFIG_HOME/qt6ct" "$XDG_RUNTIME_DIR"
chmod 700 "$XDG_RUNTIME_DIR"
cat > "$work/fonts.conf" <<EOF
<?xml version="1.0"?>
<!DOCTYPE fontconfig SYSTEM "urn:fontconfig:fonts.dtd">
<fontconfig>
  <dir>/usr/share/fonts/truetype/dejavu</dir>
  <dir>/usr/share/fonts/truetype/liberation2</dir>
  <cachedir>$work/fontconfig</cachedir>
  <include ignore_missing="yes">/etc/fonts/conf.d</include>
  <alias binding="same"><family>sans-serif</family><prefer><family>DejaVu Sans</family></prefer></alias>
</fontconfig>
EOF
export FONTCONFIG_FILE=$work/fonts.conf
for wanted in "sans-serif=DejaVu Sans" "Arial=Liberation Sans" "DejaVu Sans=DejaVu Sans"; do
    found=$(fc-match -f '%{family[0]}' "${wanted%%=*}")
    if [ "$found" != "${wanted#*=}" ]; then
        echo "The pictures want ${wanted#*=} for ${wanted%%=*}, and fontconfig gives $found" >&2
        exit 1
    fi
done

# The sample, as a pilot puts it in place, with a fixed date.
cp data/kq71wb.dat "$XDG_CONFIG_HOME/kq71wb/kq71wb.dat"
touch -d '2026-12-01 09:12:00' "$XDG_CONFIG_HOME/kq71wb/kq71wb.dat"
# The program alone, away from the sample the build puts beside it, so that
# the window names the file in the pilot's configuration folder.
mkdir -p "$HOME/bin"
cp build-release/src/app/KQ71WB "$HOME/bin/KQ71WB"

# The desktop's look: the font and, for dark.png, the palette (qt6ct), and
# a caret that does not blink, so that every picture has it.
desktop() {  # desktop light|dark
    local scheme=
    [ "$1" = dark ] && scheme='color_scheme_path=/usr/share/qt6ct/colors/darker.conf'
    cat > "$XDG_CONFIG_HOME/qt6ct/qt6ct.conf" <<EOF
[Appearance]
custom_palette=$([ "$1" = dark ] && echo true || echo false)
$scheme
standard_dialogs=default
style=Fusion

[Fonts]
fixed="DejaVu Sans Mono,9,-1,5,400,0,0,0,0,0,0,0,0,0,0,1"
general="DejaVu Sans,9,-1,5,400,0,0,0,0,0,0,0,0,0,0,1"

[Interface]
cursor_flash_time=0
EOF
}

# The display, 96 dots per inch, and openbox on it.
exec 3< <(Xvfb -displayfd 1 -nolisten tcp -screen 0 1024x768x24 -dpi 96 2>/dev/null & echo "pid $!")
read -r _ xvfb <&3
pids+=("$xvfb")
read -r display <&3
export DISPLAY=:$display
mkdir -p "$XDG_CONFIG_HOME/openbox"
cat > "$XDG_CONFIG_HOME/openbox/rc.xml" <<'EOF'
<?xml version="1.0" encoding="UTF-8"?>
<openbox_config xmlns="http://openbox.org/3.4/rc">
  <theme>
    <name>Clearlooks</name>
    <titleLayout>NLIMC</titleLayout>
    <font place="ActiveWindow"><name>DejaVu Sans</name><size>10</size><weight>bold</weight></font>
    <font place="InactiveWindow"><name>DejaVu Sans</name><size>10</size><weight>bold</weight></font>
  </theme>
  <desktops><number>1</number></desktops>
</openbox_config>
EOF
openbox --config-file "$XDG_CONFIG_HOME/openbox/rc.xml" >/dev/null 2>&1 &
pids+=("$!")
until xprop -root _NET_SUPPORTING_WM_CHECK 2>/dev/null | grep -q 'window id'; do sleep 0.1; done
xdotool mousemove 0 0

# The program, started afresh for each picture, its clock standing at the
# sheet's time (libfaketime; its timers keep the real monotonic clock, and
# files their own times), its hashes unseeded so that the saved PDF lists
# its fonts in the same order every time.
faketime=$(dpkg -L libfaketime | grep '/libfaketimeMT\.so\.1$')
program=
window=
start() {  # start light|dark
    desktop "$1"
    CUPS_SERVER=$work/no-printer QT_QPA_PLATFORM=xcb QT_QPA_PLATFORMTHEME=qt6ct QT_HASH_SEED=0 LD_PRELOAD=$faketime \
        FAKETIME='2026-12-07 14:03:00' FAKETIME_DONT_FAKE_MONOTONIC=1 NO_FAKE_STAT=1 "$HOME/bin/KQ71WB" &
    program=$!
    pids+=("$program")
    window=$(xdotool search --sync --onlyvisible --pid "$program" | head -n 1)
    last=
}
stop() {
    kill "$program"
    wait "$program" 2>/dev/null || true
}

# The window with its frame, once a change has come and it draws the same
# picture three times running.
last=
shoot() {  # shoot FILE
    local same=0 previous= now
    while [ "$same" -lt 2 ]; do
        import -window "$window" -frame "$work/shot.png"
        now=$(identify -format '%#' "$work/shot.png")
        if [ "$now" = "$previous" ] && [ "$now" != "$last" ]; then
            same=$((same + 1))
        else
            same=0
        fi
        previous=$now
        sleep 0.2
    done
    last=$now
    convert "$work/shot.png" -strip -define png:exclude-chunks=date,time "$1"
}
keys() {  # keys KEY|TEXT... ; a text is typed, a key name (Tab, shift+Tab, alt+p) pressed
    local key
    for key in "$@"; do
        case "$key" in
            Tab | shift+Tab | space | alt+* | ctrl+*) xdotool key "$key" ;;
            *) xdotool type --delay 20 -- "$key" ;;
        esac
    done
}
# A click on the first glider's button, in the middle of where the layout
# puts it (cmdLoading(0) at 400, 144 pixels, 129 by 33), from where the
# title's light yellow starts (Label1 at 37, 8, inside its border): the
# menu bar above them is as high as the desktop's font makes it.
press_first_loading() {
    local corner x y
    import -window "$window" "$work/client.png"
    corner=$(convert "$work/client.png" -fill black +opaque 'rgb(255,255,192)' -trim -format '%X %Y' info:)
    read -r x y <<<"${corner//+/}"
    xdotool mousemove --window "$window" $((x - 38 + 464)) $((y - 9 + 160)) click 1 mousemove 0 0
}

start light
shoot docs/window.png
keys 600 Tab 14 Tab 170
shoot docs/in-use.png
stop

for look in light dark; do
    start "$look"
    press_first_loading
    keys 170
    [ "$look" = light ] && shoot docs/loading.png || shoot docs/dark.png
    stop
done

start light
press_first_loading
keys 80kg Tab Tab Tab 15
shoot docs/warnings.png
stop

# The scale band, twice its size: from its red band's top-left corner down
# to the slider's foot, 330 by 50 pixels in the layout (lblSlider1 to Slider1).
corner=$(convert docs/loading.png -fill black +opaque 'rgb(255,0,0)' -trim -format '%X %Y' info:)
read -r x y <<<"${corner//+/}"
convert docs/loading.png -crop "336x54+$((x - 3))+$((y - 2))" +repage -scale 200% -strip \
    -define png:exclude-chunks=date,time docs/scale-band.png

# The load sheet as it is saved with no printer: the sample's first glider,
# a 110 lb pilot and 18 lb of nose ballast.
start light
press_first_loading
keys 110 Tab Tab 'Nose ballast' Tab 18 Tab -30 alt+p
until saved=$(ls "$HOME"/Documents/KQ71WB-*.pdf 2>/dev/null); do sleep 0.2; done
stop
cp "$saved" docs/load-sheet.pdf
pdftoppm -png -r 70 -singlefile docs/load-sheet.pdf "$work/load-sheet"
convert "$work/load-sheet.png" -strip -define png:exclude-chunks=date,time docs/load-sheet.png

node scripts/screenshots.mjs build-wasm/page data/kq71wb.dat docs
echo "The pictures in docs/ are made from today's build: look at each before committing them."
