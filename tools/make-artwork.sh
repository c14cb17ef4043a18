#!/usr/bin/env bash
# Regenerates the picture assets of Vemo (our own artwork) into
# src/resources/images/.  Needs ImageMagick 6 ("convert") and the Debian
# package fonts-noto-cjk; python3-fonttools is used, when present, to pick the
# Simplified Chinese face out of the Noto CJK font collections.
#
# Usage: tools/make-artwork.sh            (re-runnable, output is deterministic)
set -euo pipefail

ROOT="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
OUT="$ROOT/src/resources/images"
FONTDIR=/usr/share/fonts/opentype/noto
WORK="$(mktemp -d)"
trap 'rm -rf "$WORK"' EXIT
mkdir -p "$OUT"

command -v convert >/dev/null || { echo "ImageMagick (convert) is missing" >&2; exit 1; }

# Every string painted by this script (used to cut small font subsets).
TITLE_CN="欢迎使用 Vemo 员工考试系统"
TITLE_EN="Welcome to Vemo Staff Examination System"
HEAD_EXAM="考试管理员登录"
HEAD_SYS="系统管理员登录"
LABEL_USER="用户名"
LABEL_PASS="密码"
BTN_LOGIN="登录"
BTN_EXAM="我要考试"
BTN_EXIT="退出"
INK_CHARS=(考 试)        # vertical column, top to bottom
INK_CAPTION="Staff Examination"
SEAL_CHARS=(员 工 考 试)  # seal, right column first
ALL_TEXT="$TITLE_CN$TITLE_EN$HEAD_EXAM$HEAD_SYS$LABEL_USER$LABEL_PASS$BTN_LOGIN$BTN_EXAM$BTN_EXIT${INK_CHARS[*]}$INK_CAPTION${SEAL_CHARS[*]}"

# ---------------------------------------------------------------------------
# Fonts.  The Noto CJK .ttc files hold several faces (JP, KR, SC, TC, HK);
# ImageMagick 6 always takes the first one (Japanese glyph forms).  Face 2 is
# Simplified Chinese, so we cut a small subset of that face into $WORK.
# ---------------------------------------------------------------------------
FONT_PY=""
for py in python3 /usr/bin/python3; do
    if command -v "$py" >/dev/null && "$py" -c 'import fontTools.subset' 2>/dev/null; then
        FONT_PY="$py"; break
    fi
done
[[ -n "$FONT_PY" ]] || echo "warning: python3-fonttools not found, using the" \
    "default (Japanese) face of the Noto CJK collections" >&2

sc_face() {  # sc_face <collection file name> -> prints a usable font path
    local src="$FONTDIR/$1" dst="$WORK/${1%.ttc}-SC.otf"
    [[ -f "$src" ]] || { echo "font not found: $src (install fonts-noto-cjk)" >&2; exit 1; }
    if [[ -n "$FONT_PY" ]]; then
        "$FONT_PY" -m fontTools.subset "$src" --font-number=2 \
            --text="$ALL_TEXT" --unicodes=U+0020-007E --layout-features='*' \
            --output-file="$dst" 2>/dev/null
        echo "$dst"
    else
        echo "$src"
    fi
}
SANS="$(sc_face NotoSansCJK-Regular.ttc)"
SANS_BOLD="$(sc_face NotoSansCJK-Bold.ttc)"
SERIF_BOLD="$(sc_face NotoSerifCJK-Bold.ttc)"

# Common options: fixed random seed, no time stamps or other metadata in PNGs.
IM=(convert -seed 20240601)
SAVE=(-strip -define png:exclude-chunk=date,time)

# text <out> <font> <px> <colour> <text>: text image trimmed to its ink.
text() {
    "${IM[@]}" -background none -fill "$4" -font "$2" -pointsize "$3" \
        label:"$5" -trim +repage "$1"
}
size_of() { identify -format '%w %h\n' "$1"; }   # prints "<w> <h>"

# ---------------------------------------------------------------------------
# Sign-in background, 800x600, opaque.  Deep blue to light blue gradient with
# a soft glow behind the title, a faint dot grid and two faint waves; the
# welcome title, two translucent login panels with their headings and the
# "用户名" / "密码" labels.  Edit boxes, login buttons, the calligraphy, the
# emblem and the two lower buttons are placed over it by the program, so
# those places are left plain.
# ---------------------------------------------------------------------------
make_background() {
    local layers=()   # extra "-composite" steps, appended by the helpers

    # put <image> <x> <y> [shadow]: composite an image with its top-left
    # corner at x,y, optionally over a soft dark shadow.
    put() {
        if [[ "${4:-}" == shadow ]]; then
            layers+=( \( "$1" -background '#00122e' -shadow 70x2+0+0 +repage \)
                      -geometry "+$(( $2 - 4 + 1 ))+$(( $3 - 4 + 2 ))" -composite )
        fi
        layers+=( "$1" -geometry "+$2+$3" -composite )
    }
    # Text helpers, all positioned on the ink box of the glyphs.
    centred_x() {   # centred_x <img> <centre y> [shadow]
        local w h; read -r w h < <(size_of "$1")
        put "$1" $(( (800 - w) / 2 )) $(( $2 - h / 2 )) "${3:-}"
    }
    right_at() {    # right_at <img> <right x> <centre y> [shadow]
        local w h; read -r w h < <(size_of "$1")
        put "$1" $(( $2 - w )) $(( $3 - h / 2 )) "${4:-}"
    }

    text "$WORK/t1.png" "$SANS_BOLD" 34 white "$TITLE_CN"
    text "$WORK/t2.png" "$SANS" 18 '#dbe8ff' "$TITLE_EN"
    text "$WORK/h1.png" "$SANS_BOLD" 18 white "$HEAD_EXAM"
    text "$WORK/h2.png" "$SANS_BOLD" 18 white "$HEAD_SYS"
    text "$WORK/lu.png" "$SANS" 15 white "$LABEL_USER"
    text "$WORK/lp.png" "$SANS" 15 white "$LABEL_PASS"

    centred_x "$WORK/t1.png" 65 shadow
    centred_x "$WORK/t2.png" 107 shadow
    put "$WORK/h1.png" 80 149 shadow
    put "$WORK/h2.png" 440 149 shadow
    local panel_x
    for panel_x in 0 360; do
        right_at "$WORK/lu.png" $(( 150 + panel_x )) 190
        right_at "$WORK/lp.png" $(( 150 + panel_x )) 226
    done

    # Faint dot grid, fading out towards the bottom.
    "${IM[@]}" -size 20x20 xc:none -fill 'rgba(255,255,255,0.10)' \
        -draw 'circle 10,10 10,11.2' "$WORK/dot.png"
    "${IM[@]}" -size 800x600 xc:none -tile "$WORK/dot.png" -draw 'color 0,0 reset' \
        \( -size 800x600 gradient:white-black -alpha copy \) \
        -compose DstIn -composite -compose Over "$WORK/grid.png"

    "${IM[@]}" -size 800x600 gradient:'#0b2454-#3f82cf' \
        \( -size 1100x440 xc:'#8fc0ff' \( -size 600x600 radial-gradient:gray33-black -resize '1100x440!' \) \
           -alpha off -compose CopyOpacity -composite -compose Over \) \
        -geometry -150-160 -composite \
        "$WORK/grid.png" -composite \
        -fill 'rgba(255,255,255,0.05)' -stroke none \
        -draw 'path "M 0,470 C 180,410 330,520 520,470 S 720,400 800,430 L 800,600 L 0,600 Z"' \
        -fill 'rgba(255,255,255,0.04)' \
        -draw 'path "M 0,540 C 220,500 380,580 560,540 S 740,500 800,520 L 800,600 L 0,600 Z"' \
        -fill 'rgba(255,255,255,0.10)' -stroke 'rgba(255,255,255,0.38)' -strokewidth 1 \
        -draw 'roundrectangle 60.5,140.5 379.5,279.5 12,12' \
        -draw 'roundrectangle 420.5,140.5 739.5,279.5 12,12' \
        -stroke none -fill 'rgba(255,190,90,0.9)' \
        -draw 'rectangle 80,172 104,173' -draw 'rectangle 440,172 464,173' \
        "${layers[@]}" \
        -alpha off "${SAVE[@]}" "PNG24:$OUT/signin_background.png"
}

# ---------------------------------------------------------------------------
# Button faces: rounded rectangle with a vertical gradient, a darker rim, a
# soft gloss on the upper half and the caption in bold white, centred on the
# ink of the glyphs.  The shape is drawn at 4x and scaled down for smooth
# edges; the caption is drawn at final size so that it stays crisp.
# button <file> <w> <h> <top colour> <bottom colour> <rim colour> <px> <caption>
# ---------------------------------------------------------------------------
button() {
    local file="$1" w="$2" h="$3" top="$4" bottom="$5" rim="$6" px="$7" caption="$8"
    # corner radius (at 4x): a fifth of the height, at most 8 px
    local W=$(( w * 4 )) H=$(( h * 4 )) r=$(( h < 40 ? h * 4 / 5 : 32 ))
    local shape="roundrectangle 2,2 $(( W - 3 )),$(( H - 3 )) $r,$r"
    local gloss="roundrectangle 8,8 $(( W - 9 )),$(( H / 2 )) $(( r - 6 )),$(( r - 6 ))"

    text "$WORK/cap.png" "$SANS_BOLD" "$px" white "$caption"
    text "$WORK/cap_shadow.png" "$SANS_BOLD" "$px" 'rgba(0,0,0,0.38)' "$caption"
    local cw ch; read -r cw ch < <(size_of "$WORK/cap.png")
    local x=$(( (w - cw) / 2 )) y=$(( (h - ch) / 2 ))

    "${IM[@]}" -size "${W}x${H}" gradient:"$top-$bottom" -alpha set \
        \( -size "${W}x${H}" xc:none -fill white -draw "$shape" \) \
        -compose DstIn -composite -compose Over \
        \( -size "${W}x${H}" xc:none -fill 'rgba(255,255,255,0.22)' -draw "$gloss" \) \
        -composite \
        -fill none -stroke "$rim" -strokewidth 4 -draw "$shape" \
        -resize "${w}x${h}!" \
        "$WORK/cap_shadow.png" -geometry "+$x+$(( y + 1 ))" -composite \
        "$WORK/cap.png" -geometry "+$x+$y" -composite \
        "${SAVE[@]}" "PNG32:$OUT/$file"
}

# ---------------------------------------------------------------------------
# Emblem, 100x100 with transparent surroundings: a white outer ring, a deep
# blue disc with a thin gold ring, a white "V" shaped like a check mark and
# the tiny word "VEMO".  Drawn at 4x and scaled down.
# ---------------------------------------------------------------------------
# draw_emblem <convert options and output...>: the emblem drawn at 400x400, from which
# the screens' 100x100 copy and the desktop icons are scaled.
draw_emblem() {
    text "$WORK/vemo.png" "$SANS_BOLD" 46 '#f4c25a' "V E M O"
    local tw th; read -r tw th < <(size_of "$WORK/vemo.png")
    "${IM[@]}" -size 400x400 xc:none \
        -fill '#f7f9fc' -stroke '#c9d6e8' -strokewidth 3 -draw 'circle 200,200 200,5' \
        \( -size 344x344 gradient:'#2a66b8-#0b2a5c' -alpha set \
           \( -size 344x344 xc:none -fill white -draw 'circle 172,172 172,1' \) \
           -compose DstIn -composite -compose Over \) \
        -geometry +28+28 -composite \
        -fill none -stroke '#f4c25a' -strokewidth 6 -draw 'circle 200,200 200,48' \
        -stroke white -strokewidth 38 \
        -draw 'stroke-linecap round stroke-linejoin round polyline 124,150 186,244 290,98' \
        "$WORK/vemo.png" -geometry "+$(( 200 - tw / 2 ))+280" -composite "$@"
}

make_emblem() {
    draw_emblem -resize 100x100 "${SAVE[@]}" "PNG32:$OUT/emblem.png"
}

# ---------------------------------------------------------------------------
# Desktop icons (packaging/icons): the emblem at 48, 128 and 256 pixels, and the same
# drawing as SVG for the scalable size.
# ---------------------------------------------------------------------------
make_icons() {
    local icons="$ROOT/packaging/icons" size
    mkdir -p "$icons"
    draw_emblem "PNG32:$WORK/emblem-400.png"
    for size in 48 128 256; do
        "${IM[@]}" "$WORK/emblem-400.png" -resize "${size}x${size}" "${SAVE[@]}" \
            "PNG32:$icons/vemo-$size.png"
    done
    cat > "$icons/vemo.svg" <<'SVG'
<?xml version="1.0" encoding="UTF-8"?>
<svg xmlns="http://www.w3.org/2000/svg" width="400" height="400" viewBox="0 0 400 400">
  <defs>
    <linearGradient id="disc" x1="0" y1="0" x2="0" y2="1">
      <stop offset="0" stop-color="#2a66b8"/>
      <stop offset="1" stop-color="#0b2a5c"/>
    </linearGradient>
  </defs>
  <circle cx="200" cy="200" r="195" fill="#f7f9fc" stroke="#c9d6e8" stroke-width="3"/>
  <circle cx="200" cy="200" r="171" fill="url(#disc)"/>
  <circle cx="200" cy="200" r="152" fill="none" stroke="#f4c25a" stroke-width="6"/>
  <polyline points="124,150 186,244 290,98" fill="none" stroke="#ffffff" stroke-width="38"
            stroke-linecap="round" stroke-linejoin="round"/>
  <text x="200" y="318" text-anchor="middle" font-family="Noto Sans CJK SC, sans-serif"
        font-weight="bold" font-size="46" letter-spacing="12" fill="#f4c25a">VEMO</text>
</svg>
SVG
}

# ---------------------------------------------------------------------------
# Calligraphy, 400x266 with transparent surroundings: "Vemo" in slanted bold
# serif, a tapered brush stroke under it, "考试" as a vertical column at the
# top right, a small "Staff Examination" line and a red seal (white
# "员工考试", read right column first).  The lower right corner (from x=345,
# y=135 on) stays empty: on the sign-in window the emblem sits there.
# The ink gets ragged edges and faint dry-brush streaks; a soft white halo
# keeps the dark ink readable on the blue sign-in background and is
# practically invisible on a light grey dialog.  Drawn at 2x, scaled down.
# ---------------------------------------------------------------------------
make_calligraphy() {
    local ink='#18181d' seal_red='#c62a2a'
    local brush='M 30,300 C 60,280 90,288 120,288 C 260,282 420,270 560,256
                 C 580,255 584,262 570,266 C 420,290 260,308 110,320
                 C 70,324 24,320 30,300 Z'

    # Dry-brush texture: horizontal streaks, values between 85% and 100%.
    "${IM[@]}" -size 800x532 xc:gray50 +noise Random -virtual-pixel tile \
        -motion-blur 0x30+0 -auto-level -level 10%,70% +level 85%,100% "$WORK/streaks.png"

    "${IM[@]}" -background none -fill "$ink" -font "$SERIF_BOLD" -pointsize 205 \
        label:Vemo -trim +repage -shear 12x0 -trim +repage "$WORK/ink_vemo.png"
    "${IM[@]}" -background none -fill "$ink" -font "$SERIF_BOLD" -pointsize 42 \
        -kerning 3 label:"$INK_CAPTION" -trim +repage -shear 12x0 -trim +repage \
        "$WORK/ink_caption.png"
    text "$WORK/ink_kao.png" "$SERIF_BOLD" 124 "$ink" "${INK_CHARS[0]}"
    text "$WORK/ink_shi.png" "$SERIF_BOLD" 124 "$ink" "${INK_CHARS[1]}"

    # All ink shapes as one coverage mask, roughened and streaked.
    "${IM[@]}" -size 800x532 xc:none \
        "$WORK/ink_vemo.png" -geometry +14+92 -composite \
        -fill "$ink" -draw "path '$brush'" \
        "$WORK/ink_kao.png" -geometry +664+12 -composite \
        "$WORK/ink_caption.png" -geometry +70+360 -composite \
        "$WORK/ink_shi.png" -geometry +664+136 -composite \
        -alpha extract -morphology Dilate Disk:1 -spread 2 -blur 0x1.2 -level 35%,65% \
        "$WORK/streaks.png" -compose Multiply -composite "$WORK/ink_mask.png"
    "${IM[@]}" -size 800x532 xc:"$ink" "$WORK/ink_mask.png" \
        -alpha off -compose CopyOpacity -composite "$WORK/ink.png"

    # White halo around the ink, faded out well before the picture's edges.
    "${IM[@]}" "$WORK/ink_mask.png" -morphology Dilate Disk:4 -blur 0x10 \
        -level 0,70% +level 0,55% \
        \( -size 800x532 xc:black -fill white -draw 'rectangle 24,24 775,507' -blur 0x10 \) \
        -compose Multiply -composite "$WORK/halo_mask.png"
    "${IM[@]}" -size 800x532 xc:white "$WORK/halo_mask.png" \
        -alpha off -compose CopyOpacity -composite "$WORK/halo.png"

    # Seal: red square, white characters, thin inner frame, slightly tilted.
    "${IM[@]}" -size 104x104 xc:none -fill "$seal_red" \
        -draw 'roundrectangle 0,0 103,103 8,8' \
        -fill white -font "$SERIF_BOLD" -pointsize 40 -gravity center \
        -annotate +22-23 "${SEAL_CHARS[0]}" -annotate +22+21 "${SEAL_CHARS[1]}" \
        -annotate -22-23 "${SEAL_CHARS[2]}" -annotate -22+21 "${SEAL_CHARS[3]}" \
        -gravity northwest -fill none -stroke white -strokewidth 3 \
        -draw 'roundrectangle 6,6 97,97 6,6' \
        -channel A -spread 1 -blur 0x0.8 -level 30%,70% +channel \
        -background none -rotate -4 "$WORK/seal.png"

    # (Start from an sRGB canvas: the grey halo alone would make IM 6 treat the
    # whole picture as greyscale and turn the red seal grey.)
    "${IM[@]}" -size 800x532 xc:none "$WORK/halo.png" -composite "$WORK/ink.png" -composite \
        "$WORK/seal.png" -geometry +560+340 -composite \
        -resize '400x266!' "${SAVE[@]}" "PNG32:$OUT/calligraphy.png"
}

make_background
make_emblem
make_icons
make_calligraphy
# Orange login button (used twice, once in each sign-in panel).
button button_login.png 180 30 '#ffa940' '#df680a' '#a34e08' 16 "$BTN_LOGIN"
# Teal "我要考试" button that starts an examination.
button button_exam.png 120 40 '#3cc9b4' '#0f8a80' '#0a605a' 18 "$BTN_EXAM"
# Red "退出" button that leaves the program.
button button_exit.png 100 50 '#ef6a60' '#b8322c' '#86211d' 20 "$BTN_EXIT"
