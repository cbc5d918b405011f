#!/usr/bin/env bash
# Draws the skin artwork into assets/skins/ with ImageMagick: a dark panel look
# with a cyan accent. The PNGs are committed; run this again only to change
# them. Sizes follow the layouts that use each image.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
out="$root/assets/skins"
mkdir -p "$out"

# Palette.
bg0='#0f1216'      # window background
bg1='#181c22'      # panels
bg2='#222831'      # raised controls
edge='#2e3642'     # control borders
hover='#2c3542'    # hover fill
accent='#2fc8f0'   # cyan accent
accent2='#1b7fa3'  # darker accent

png() { convert "$@"; }  # the last argument is PNG32:file

# A push button in three states: normal, hover (lighter, accent edge), pressed
# (accent fill). $1 base name, $2 width, $3 height, $4 corner radius, $5 draw
# commands of a glyph on it (optional; grey, light on hover, white pressed).
button3() {
    local name=$1 w=$2 h=$3 r=${4:-4} glyph=${5:-}
    local x1=$((w - 1)) y1=$((h - 1))
    local g_nr=() g_ov=() g_dn=()
    if [ -n "$glyph" ]; then
        g_nr=(-fill none -stroke '#8a93a0' -strokewidth 2 -draw "$glyph")
        g_ov=(-fill none -stroke '#e6e9ee' -strokewidth 2 -draw "$glyph")
        g_dn=(-fill none -stroke '#ffffff' -strokewidth 2 -draw "$glyph")
    fi
    png -size "${w}x${h}" xc:none -fill "$bg2" -stroke "$edge" -strokewidth 1 \
        -draw "roundrectangle 0,0 $x1,$y1 $r,$r" "${g_nr[@]}" "PNG32:$out/${name}_nr.png"
    png -size "${w}x${h}" xc:none -fill "$hover" -stroke "$accent" -strokewidth 1 \
        -draw "roundrectangle 0,0 $x1,$y1 $r,$r" "${g_ov[@]}" "PNG32:$out/${name}_ov.png"
    png -size "${w}x${h}" xc:none -fill "$accent2" -stroke "$accent" -strokewidth 1 \
        -draw "roundrectangle 0,0 $x1,$y1 $r,$r" \
        -fill "$accent" -stroke none -draw "rectangle 3,$((h - 3)) $((w - 4)),$((h - 2))" \
        "${g_dn[@]}" "PNG32:$out/${name}_dn.png"
}

# A glyph button (title bar, page icons): the glyph in grey, light grey on
# hover, accent when pressed or selected. $1 name, $2 w, $3 h, $4 draw commands
# (in the glyph colour), $5 suffix of the normal state (default _nr).
glyph3() {
    local name=$1 w=$2 h=$3 cmd=$4 nr=${5:-_nr}
    local x1=$((w - 1)) y1=$((h - 1))
    png -size "${w}x${h}" xc:none -fill none -stroke '#8a93a0' -strokewidth 2 -draw "$cmd" \
        "PNG32:$out/${name}${nr}.png"
    png -size "${w}x${h}" xc:none -fill "$hover" -stroke none -draw "roundrectangle 0,0 $x1,$y1 4,4" \
        -fill none -stroke '#e6e9ee' -strokewidth 2 -draw "$cmd" "PNG32:$out/${name}_ov.png"
    png -size "${w}x${h}" xc:none -fill "$accent2" -stroke none -draw "roundrectangle 0,0 $x1,$y1 4,4" \
        -fill none -stroke "$accent" -strokewidth 2 -draw "$cmd" "PNG32:$out/${name}_dn.png"
}

# The main window background: title band, the page panel at (80,146)-(1000,564)
# and the command bar.
window_background() {
    local file=$1
    png -size 1040x640 "gradient:#151a21-$bg0" \
        -fill "$bg1" -stroke none -draw "rectangle 0,0 1039,95" \
        -fill none -stroke "$accent" -strokewidth 2 -draw "line 0,95 1039,95" \
        -fill "$accent" -stroke none -draw "polygon 30,30 60,30 45,62" \
        -fill none -stroke "$accent2" -strokewidth 3 -draw "line 70,46 300,46" \
        -fill "$bg1" -stroke "$edge" -strokewidth 1 -draw "roundrectangle 76,142 1003,567 6,6" \
        -fill "$bg1" -stroke none -draw "rectangle 0,576 1039,639" \
        -fill none -stroke "$edge" -strokewidth 1 -draw "line 0,576 1039,576" \
        -fill '#0b0d10' -stroke "$edge" -draw "roundrectangle 754,106 912,146 6,6" \
        "PNG32:$out/$file"
}

window_background main_nr.png
# Page backgrounds cover the whole main window client; each page blits the part
# under itself.
window_background advset.png
window_background macro_nr.png
window_background led_set_nr.png

# Title bar and command bar buttons.
glyph3 Min 24 24 "line 6,16 18,16"
mv "$out/Min_nr.png" "$out/Min_Nr.png"
glyph3 exit 24 24 "line 7,7 17,17 line 17,7 7,17"
# The command bar's buttons have no caption of their own: the glyph tells what
# each does (the profile button shows the profile's number instead).
button3 Language 80 28 6 "circle 40,14 40,6 ellipse 40,14 3,8 0,360 line 32,14 48,14"
button3 profile 80 28 6
button3 inport 80 28 6 "line 40,5 40,16 polyline 36,12 40,16 44,12 polyline 32,16 32,22 48,22 48,16"
button3 export 80 28 6 "line 40,6 40,17 polyline 36,10 40,6 44,10 polyline 32,16 32,22 48,22 48,16"
button3 reset 80 28 6 "arc 33,7 47,21 -30,250 polyline 42,5 47,8 44,13"
button3 usb 80 28 6 "rectangle 35,9 45,16 line 38,9 38,5 line 42,9 42,5 line 40,16 40,23"
button3 2.4G 80 28 6 "arc 34,12 46,24 225,315 arc 30,8 50,28 225,315 arc 26,4 54,32 225,315 line 40,20 40,21"
# Page icons (the page buttons stretch them over their rectangles).
glyph3 host 30 26 "roundrectangle 4,4 25,17 2,2 line 10,22 20,22"
glyph3 main_btn 18 28 "roundrectangle 3,3 14,24 6,6 line 9,4 9,11"
glyph3 adv 28 28 "circle 14,14 14,6 line 14,2 14,6 line 14,22 14,26"
glyph3 led 22 29 "circle 11,11 11,4 line 8,20 14,20 line 9,25 13,25"
glyph3 Macro_bt 24 28 "rectangle 4,6 20,22 line 8,11 16,11 line 8,16 16,16"
# Battery percentage box: one image for all states.
png -size 60x28 xc:none -fill '#0b0d10' -stroke "$edge" -draw "roundrectangle 0,0 59,27 5,5" \
    "PNG32:$out/add_nr.png.png"

# Battery bar, 80 x 28: the back is the empty outline, the fill is revealed
# from the left (level images) in green, or in accent blue while charging.
battery() {
    local file=$1 fill=$2
    png -size 80x28 xc:none -fill "$fill" -stroke none -draw "rectangle 4,6 69,21" \
        -fill none -stroke '#d0d4da' -strokewidth 2 -draw "roundrectangle 2,4 71,23 3,3" \
        -fill '#d0d4da' -stroke none -draw "rectangle 73,10 77,17" "PNG32:$out/$file"
}
battery battery_fullh.png '#3fd07a'
battery battery_chargingh.png "$accent"
png -size 80x28 xc:none -fill none -stroke '#8a93a0' -strokewidth 2 -draw "roundrectangle 2,4 71,23 3,3" \
    -fill '#8a93a0' -stroke none -draw "rectangle 73,10 77,17" "PNG32:$out/battery_emptyh.png"
png -size 80x28 xc:none -fill none -stroke "$accent2" -strokewidth 2 -draw "roundrectangle 2,4 71,23 3,3" \
    -fill "$accent2" -stroke none -draw "rectangle 73,10 77,17" "PNG32:$out/battery_chargingeh.png"

# Button page: selectors and function buttons, with the popup openers' variant.
button3 keymenu 142 20 4
png -size 142x20 xc:none -fill "$hover" -stroke "$accent" -draw "roundrectangle 0,0 141,19 4,4" \
    -fill "$accent" -stroke none -draw "polygon 128,7 136,7 132,12" "PNG32:$out/keymenu_ov1.png"
png -size 142x20 xc:none -fill "$accent2" -stroke "$accent" -draw "roundrectangle 0,0 141,19 4,4" \
    -fill '#ffffff' -stroke none -draw "polygon 128,7 136,7 132,12" "PNG32:$out/keymenu_dn1.png"
# The stepper: plus zone rows 0-31, minus zone rows 84-117.
png -size 34x118 xc:none -fill "$bg2" -stroke "$edge" -draw "roundrectangle 0,0 33,117 6,6" \
    -fill "$hover" -stroke none -draw "rectangle 2,2 31,31 rectangle 2,86 31,115" \
    -fill none -stroke "$accent" -strokewidth 2 -draw "line 11,16 23,16 line 17,10 17,22 line 11,101 23,101" \
    "PNG32:$out/add_sub.png"
# The mouse picture, its dimmed variant for other mice, and the five markers.
# The device picker writes the mouse's name across the middle of the picture
# in black: the plate there keeps it readable.
mouse() {
    local file=$1 w=$2 h=$3 body=$4 line=$5 plate=$6
    png -size "${w}x${h}" xc:none -fill "$body" -stroke "$line" -strokewidth 3 \
        -draw "roundrectangle $((w / 5)),$((h / 16)) $((w * 4 / 5)),$((h * 15 / 16)) $((w / 4)),$((w / 4))" \
        -draw "line $((w / 2)),$((h / 16)) $((w / 2)),$((h * 3 / 8))" \
        -draw "line $((w / 5)),$((h * 3 / 8)) $((w * 4 / 5)),$((h * 3 / 8))" \
        -fill "$line" -stroke none \
        -draw "roundrectangle $((w / 2 - 6)),$((h / 8)) $((w / 2 + 6)),$((h / 4)) 6,6" \
        -fill "$plate" -draw "roundrectangle $((w / 2 - 40)),$((h * 43 / 96)) $((w / 2 + 40)),$((h * 51 / 96)) 4,4" \
        "PNG32:$out/$file"
}
mouse mouse_nr.png 204 399 '#1a1f26' "$accent" "$accent2"
mouse mouse_nr-d.png 200 380 '#15181d' '#56606c' '#8a93a0'
for n in 1 2 3 4 5; do
    png -size 32x32 xc:none -fill "$accent" -stroke '#ffffff' -strokewidth 2 -draw "circle 16,16 16,3" \
        -fill '#0f1216' -stroke none -draw "rectangle $((16 - n * 2)),14 $((15 + n * 2)),18" \
        "PNG32:$out/number$n.png"
done
png -size 16x64 xc:none -fill none -stroke "$edge" -strokewidth 2 -draw "line 8,0 8,63" \
    "PNG32:$out/line-back.png"

# Device picker: paging arrows and the connection icons (plain: known, -ol: online).
png -size 46x46 xc:none -fill "$bg2" -stroke "$edge" -draw "circle 23,23 23,2" \
    -fill "$accent" -stroke none -draw "polygon 28,12 14,23 28,34" "PNG32:$out/Left.png"
png -size 46x46 xc:none -fill "$bg2" -stroke "$edge" -draw "circle 23,23 23,2" \
    -fill "$accent" -stroke none -draw "polygon 18,12 32,23 18,34" "PNG32:$out/Right.png"
conn_icon() {
    local name=$1 cmd=$2
    png -size 42x23 xc:none -fill "$bg2" -stroke '#56606c' -draw "roundrectangle 0,0 41,22 4,4" \
        -fill none -stroke '#8a93a0' -strokewidth 2 -draw "$cmd" "PNG32:$out/$name.png"
    png -size 42x23 xc:none -fill "$accent2" -stroke "$accent" -draw "roundrectangle 0,0 41,22 4,4" \
        -fill none -stroke '#ffffff' -strokewidth 2 -draw "$cmd" "PNG32:$out/$name-ol.png"
}
conn_icon usb "line 8,11 32,11 line 26,6 32,11 line 26,16 32,11"
conn_icon 1KHz "circle 21,11 21,5 line 21,11 26,11"
conn_icon 8KHz "circle 15,11 15,6 circle 27,11 27,6"

# Advanced page: stage selectors, slider parts, check boxes, radio buttons.
button3 dpi_num 28 18 4
png -size 272x6 xc:none -fill "$accent" -stroke none -draw "roundrectangle 0,0 271,5 3,3" "PNG32:$out/bar.png"
png -size 272x6 xc:none -fill '#2a313b' -stroke none -draw "roundrectangle 0,0 271,5 3,3" \
    "PNG32:$out/slider2.png"
png -size 12x12 xc:none -fill '#e6e9ee' -stroke "$accent" -strokewidth 2 -draw "circle 6,6 6,1" \
    "PNG32:$out/slider.png"
png -size 6x12 xc:none -fill "$accent" -stroke none -draw "roundrectangle 0,3 5,8 2,2" \
    "PNG32:$out/dpi_bar_left.png"
png -size 6x12 xc:none -fill '#2a313b' -stroke none -draw "roundrectangle 0,3 5,8 2,2" \
    "PNG32:$out/dpi_bar_right.png"
png -size 110x28 xc:none -fill "$bg2" -stroke "$accent2" -draw "roundrectangle 0,0 109,27 6,6" \
    -fill none -stroke "$accent" -strokewidth 2 -draw "circle 16,14 16,8" "PNG32:$out/mouseset_nr.png"
png -size 14x14 xc:none -fill "$bg2" -stroke '#56606c' -draw "roundrectangle 0,0 13,13 2,2" \
    "PNG32:$out/check_nr.png"
png -size 14x14 xc:none -fill "$hover" -stroke "$accent" -draw "roundrectangle 0,0 13,13 2,2" \
    "PNG32:$out/check_ov.png"
png -size 14x14 xc:none -fill "$accent2" -stroke "$accent" -draw "roundrectangle 0,0 13,13 2,2" \
    -fill none -stroke '#ffffff' -strokewidth 2 -draw "polyline 3,7 6,10 11,3" "PNG32:$out/check_dn.png"
png -size 14x14 xc:none -fill "$bg2" -stroke '#56606c' -draw "circle 7,7 7,1" "PNG32:$out/radio_nr.png"
png -size 14x14 xc:none -fill "$hover" -stroke "$accent" -draw "circle 7,7 7,1" "PNG32:$out/radio_ov.png"
png -size 14x14 xc:none -fill "$bg2" -stroke "$accent" -draw "circle 7,7 7,1" \
    -fill "$accent" -stroke none -draw "circle 7,7 7,4" "PNG32:$out/radio_dn.png"

# Macro page buttons and the event-list row icons (16 x 16).
button3 add 116 26 5
button3 keybtn 170 26 5
button3 record_play 180 26 5
button3 record_stop 180 26 5
rm -f "$out/record_play_dn.png" "$out/record_stop_dn.png"
row_icon() {
    local name=$1 cmd=$2
    png -size 16x16 xc:none -fill none -stroke '#8a93a0' -strokewidth 2 -draw "$cmd" "PNG32:$out/${name}_normal.png"
    png -size 16x16 xc:none -fill none -stroke '#ffffff' -strokewidth 2 -draw "$cmd" "PNG32:$out/${name}_select.png"
}
row_icon up "line 8,13 8,3 line 4,7 8,3 line 12,7 8,3"
row_icon down "line 8,3 8,13 line 4,9 8,13 line 12,9 8,13"
row_icon delay "circle 8,8 8,2 line 8,8 8,4 line 8,8 11,10"

# Skinned dialogs: OK / Cancel buttons (stretched to 106 x 26) and backgrounds.
button3 Button 106 26 5
dialog_background() {
    local file=$1 w=$2 h=$3
    png -size "${w}x${h}" "gradient:$bg1-$bg0" -fill none -stroke "$accent2" -strokewidth 2 \
        -draw "roundrectangle 1,1 $((w - 2)),$((h - 2)) 8,8" \
        -stroke "$accent" -draw "line 16,24 $((w - 17)),24" "PNG32:$out/$file"
}
dialog_background msg_nr-2.png 430 205
dialog_background msg_nr.png 360 222
dialog_background fwupdate.png 560 420
# The progress window: its track at (35,47)-(295,56) and the fill on a copy.
png -size 380x110 "gradient:$bg1-$bg0" -fill none -stroke "$accent2" -strokewidth 2 \
    -draw "roundrectangle 1,1 378,108 8,8" -fill '#2a313b' -stroke none -draw "rectangle 35,47 294,55" \
    "PNG32:$out/Progress_Normal.png"
png -size 380x110 xc:none -fill "$accent" -stroke none -draw "rectangle 35,47 294,55" \
    "PNG32:$out/Progress_Over.png"

# Popup menu skins: nine-slice with 32-pixel corners.
png -size 128x128 xc:none -fill '#14181ee8' -stroke "$accent2" -strokewidth 2 \
    -draw "roundrectangle 1,1 126,126 12,12" "PNG32:$out/Language_back.png"
png -size 128x128 xc:none -fill '#14181ee8' -stroke "$accent" -strokewidth 2 \
    -draw "roundrectangle 1,1 126,126 12,12" "PNG32:$out/Language_back-2.png"

# Scroll bars: 9 columns x 3 rows of 16-pixel cells (up, down, vertical thumb,
# vertical track, left, right, horizontal thumb, horizontal track, corner;
# normal, hover, pressed), as a BMP.
cells=()
for row in 0 1 2; do
    case $row in 0) c='#8a93a0' f="$bg2" ;; 1) c='#e6e9ee' f="$hover" ;; 2) c="$accent" f="$accent2" ;; esac
    y=$((row * 16))
    cells+=(-fill "$f" -stroke none -draw "rectangle 0,$y 15,$((y + 15))"
            -fill "$c" -draw "polygon 4,$((y + 10)) 12,$((y + 10)) 8,$((y + 5))"
            -fill "$f" -draw "rectangle 16,$y 31,$((y + 15))"
            -fill "$c" -draw "polygon 20,$((y + 6)) 28,$((y + 6)) 24,$((y + 11))"
            -fill "$c" -draw "roundrectangle 36,$((y + 1)) 43,$((y + 14)) 3,3"
            -fill '#11151a' -draw "rectangle 48,$y 63,$((y + 15))"
            -fill "$f" -draw "rectangle 64,$y 79,$((y + 15))"
            -fill "$c" -draw "polygon 74,$((y + 4)) 74,$((y + 12)) 69,$((y + 8))"
            -fill "$f" -draw "rectangle 80,$y 95,$((y + 15))"
            -fill "$c" -draw "polygon 86,$((y + 4)) 86,$((y + 12)) 91,$((y + 8))"
            -fill "$c" -draw "roundrectangle 97,$((y + 4)) 110,$((y + 11)) 3,3"
            -fill '#11151a' -draw "rectangle 112,$y 127,$((y + 15))"
            -fill "$bg1" -draw "rectangle 128,$y 143,$((y + 15))")
done
convert -size 144x48 "xc:$bg1" "${cells[@]}" -type TrueColor "BMP3:$out/scrollbar.bmp"

# Popup menu rows and tray menu rows: embedded resources, drawn into res/.
# The profile menu's row icon (PNG resource 149), 16 x 16: a person's outline.
res="$root/res"
png -size 16x16 xc:none -fill none -stroke "$accent" -strokewidth 2 -draw "circle 8,5 8,2" \
    -draw "arc 2,9 14,21 180,360" "PNG32:$res/profile_popup.png"
# The tray menu's row icons 142 (show the window) and 143 (exit), 16 and 32
# pixels: a window frame with its title band, and a power symbol.
tray_icon() {
    local file=$1 cmd16=$2 cmd32=$3 tmp
    tmp=$(mktemp -d)
    png -size 16x16 xc:none -fill none -stroke '#1b7fa3' -strokewidth 2 -draw "$cmd16" "PNG32:$tmp/16.png"
    png -size 32x32 xc:none -fill none -stroke '#1b7fa3' -strokewidth 3 -draw "$cmd32" "PNG32:$tmp/32.png"
    convert "$tmp/16.png" "$tmp/32.png" "$res/$file"
    rm -rf "$tmp"
}
tray_icon tray_show.ico "rectangle 2,3 13,12 line 2,5 13,5" "rectangle 4,6 27,25 line 4,10 27,10"
tray_icon tray_exit.ico "arc 3,3 13,13 -60,240 line 8,1 8,7" "arc 6,6 26,26 -60,240 line 16,2 16,14"

echo "skins drawn into $out"
