#!/usr/bin/env bash
# Links the faces the program's fonts map to under wine to the CJK font that
# scripts/setup.sh installs, as Windows links its own faces to fonts with CJK glyphs:
# without it wine draws Japanese and Chinese as boxes. Run with WINEPREFIX set, after
# wineboot.
for face in 'DejaVu Sans' 'DejaVu Sans Mono'; do
    wine reg add 'HKLM\Software\Microsoft\Windows NT\CurrentVersion\FontLink\SystemLink' \
        /v "$face" /t REG_MULTI_SZ /d 'wqy-microhei.ttc,WenQuanYi Micro Hei' /f >/dev/null 2>&1 || true
done
