#!/usr/bin/env bash
# Reads the pages back out of the built help file and checks what each one says: the title shown
# by the viewer, the contents, and the page of every context number the programs ask for.
# Usage: check-pages.sh KIV.chm
set -uo pipefail
chm=$1
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
failures=0
fail() { echo "FAIL: $*"; failures=$((failures + 1)); }

extract_chmLib "$chm" "$work/raw" >/dev/null || { echo "FAIL: cannot read $chm"; exit 1; }
mkdir -p "$work/text"
for f in "$work"/raw/*.html "$work"/raw/*.hhc; do
    # Every page is Shift_JIS; a page that is not fails the conversion.
    iconv -f CP932 -t UTF-8 "$f" >"$work/text/$(basename "$f")" || fail "$(basename "$f") is not Shift_JIS"
done

# page, then texts it must hold
expect() {
    local page=$1; shift
    [ -f "$work/text/$page" ] || { fail "$page is missing"; return; }
    grep -q 'charset=shift_jis' "$work/text/$page" || fail "$page does not declare shift_jis"
    local text
    for text in "$@"; do
        grep -qF -- "$text" "$work/text/$page" || fail "$page lacks \"$text\""
    done
}

# Context 9: first steps.
expect start.html "<title>はじめに</title>" "IconData" "TopWindow1" "ＫＩＶの終了" "/CloseKiv"
# Context 6, 2, 37, 5, 38: the pages of the property dialog, with their controls' captions.
expect prop-icon.html "<h1>アイコン</h1>" "アイコンとテキストの位置" "アイコンの下にテキスト" \
    "アイコンの右にテキスト" "アイコンのみ" "テキストのみ" "アイコンサイズ" "無制限" "フォントサイズ" \
    "非選択時" "選択時" "枠をつける" "色をつける" "セパレータを表示する"
expect prop-layout.html "<h1>レイアウト</h1>" "アイコンの並べ方" "ウィンドウ位置によって変化" \
    "並べるときの行数" "ウィンドウサイズは必要最低限にする" "スクリーンサイズで折り返す"
expect prop-window.html "<h1>ウィンドウの表示</h1>" "ウィンドウが現れるまで" "ウィンドウが隠れるまで" \
    "疑似アニメーションする" "クリックで開く" "クリックで閉じる" "本当に隠れる" \
    "アクティブウィンドウがフルスクリーンでも現れる" "アイコンクリックの後、ウィンドウを閉じる" "表示する"
expect prop-filelist.html "<h1>ファイルリスト</h1>" "このウィンドウに対して" "フォルダのみ表示する" \
    "隠しファイルも表示する" "サブフォルダに対して" "サブフォルダを表示する" \
    "アイコンのないサブフォルダも表示する"
expect prop-other.html "<h1>その他</h1>" "非OLEのD&amp;Dを許可する" "異なる解像度で異なる設定を使用する"
# The dialog and its buttons.
expect properties.html "<h1>ウィンドウのプロパティ</h1>" "デフォルト" "OK" "キャンセル" "適用" "ヘルプ"
# The menu commands, with the menu's own texts.
expect menu.html "<h1>右クリックメニュー</h1>" "名前の変更..." "アイコンの移動" "先頭へ" "１つ前へ" \
    "１つ後へ" "最後へ" "ウィンドウのプロパティ" "新規作成" "ショートカット" "フォルダ" "デスクトップ" \
    "セパレーター" "トップウィンドウ" "その他" "デフォルトのプロパティ" "ＫＩＶの終了" "ヘルプ" \
    "バージョン情報" "セパレーターの削除" "セパレーターの移動" ".sep.kiv"
# Where the settings live.
expect settings.html "<h1>設定の保存場所</h1>" "IconData" "KivWinPropertyHash.kiv" ".wpr.kiv" \
    ".srt.kiv" "TopWindow1"
# The contents name every page.
for page in start menu properties prop-icon prop-layout prop-window prop-filelist prop-other settings; do
    grep -qF "value=\"$page.html\"" "$work/text/toc.hhc" || fail "the contents lack $page.html"
done
# The viewer's title, stored in the file's system data in Shift_JIS.
iconv -f UTF-8 -t CP932 <<<"KIV ヘルプ" | head -c -1 >"$work/title"
grep -qF -f "$work/title" "$work/raw/#SYSTEM" || fail "the title \"KIV ヘルプ\" is not in #SYSTEM"

if [ "$failures" -ne 0 ]; then
    echo "$failures failure(s)"
    exit 1
fi
echo "all help pages checked"
