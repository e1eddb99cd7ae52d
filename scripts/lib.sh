# Shared settings for the scripts in this folder; sourced, not run.
#
# Everything the scripts build or prepare outside the work tree lives under one cache folder,
# so a fresh clone on a prepared machine starts in seconds and `rm -rf "$ORVO_CACHE"` resets it:
#   ORVO_CACHE         default ${XDG_CACHE_HOME:-$HOME/.cache}/orvo
#   ORVO_MINGW_PREFIX  libraries cross-built with mingw-w64 (googletest), default $ORVO_CACHE/mingw-w64
#   ORVO_WINEPREFIX    the Wine prefix the tests run in, default $ORVO_CACHE/wineprefix
# cmake/mingw-w64-x86_64.cmake computes the same defaults; keep the two in step.

ORVO_ROOT=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
if [[ -z ${HOME:-} ]]; then
    HOME=$(getent passwd "$(id -u)" | cut -d: -f6)
    export HOME
fi
: "${ORVO_CACHE:=${XDG_CACHE_HOME:-$HOME/.cache}/orvo}"
: "${ORVO_MINGW_PREFIX:=$ORVO_CACHE/mingw-w64}"
: "${ORVO_WINEPREFIX:=$ORVO_CACHE/wineprefix}"
# The locale the Windows programs see: Czech gives ANSI code page 1250 and OEM code page 852.
: "${ORVO_WINE_LOCALE:=cs_CZ.UTF-8}"
export ORVO_ROOT ORVO_CACHE ORVO_MINGW_PREFIX ORVO_WINEPREFIX ORVO_WINE_LOCALE

ORVO_MINGW_TRIPLE=x86_64-w64-mingw32

orvo_log() { printf '[%s] %s\n' "${0##*/}" "$*" >&2; }
orvo_die() { printf '[%s] error: %s\n' "${0##*/}" "$*" >&2; exit 1; }

# Runs a command as root: directly when we are root, else through sudo when there is one.
orvo_as_root() {
    if [[ $(id -u) -eq 0 ]]; then
        "$@"
    elif command -v sudo >/dev/null 2>&1; then
        sudo "$@"
    else
        orvo_die "need root for: $* (run as root or install sudo)"
    fi
}

# Prints the wall-clock seconds since the given `date +%s.%N` value, one decimal.
orvo_elapsed() { LC_ALL=C awk -v a="$1" -v b="$(date +%s.%N)" 'BEGIN { printf "%.1f", b - a }'; }

# --- Wine drives -------------------------------------------------------------------------------
# The prefixes have no drive on the Linux root; scripts/wine-drives.txt lists the drives they
# have besides C:, each on a folder of this checkout.

# Prints "LETTER FOLDER" for each drive of this checkout.
orvo_wine_drives() {
    local letter folder _
    while read -r letter folder _; do
        [[ -z $letter || $letter == \#* ]] && continue
        printf '%s %s\n' "$letter" "$(realpath -m -s -- "$ORVO_ROOT/$folder")"
    done <"$ORVO_ROOT/scripts/wine-drives.txt"
}

# Prints the Windows path under which a program under Wine sees a host file or folder: on the
# drive of the deepest folder holding it, as Wine picks. Fails for a path on no drive.
orvo_windows_path() {
    local host letter folder best='' best_folder='' rest
    host=$(realpath -m -s -- "$1")
    while read -r letter folder; do
        if [[ $host == "$folder" || $host == "$folder"/* ]] && ((${#folder} > ${#best_folder})); then
            best=$letter best_folder=$folder
        fi
    done < <(orvo_wine_drives)
    [[ -n $best ]] ||
        orvo_die "$1 is on no drive of the Wine prefix; its drives (scripts/wine-drives.txt) are" \
            "$(orvo_wine_drives | awk '{ printf "%s%s: %s", (NR > 1 ? ", " : ""), $1, $2 }')"
    rest=${host#"$best_folder"}
    rest=${rest#/}
    printf '%s:\\%s\n' "$best" "${rest//\//\\}"
}

# Succeeds when the prefix's drives are its own C: and this checkout's drives, nothing else.
orvo_wine_drives_here() { # PREFIX
    local want have letter folder entry
    want=$({
        echo "c: ../drive_c"
        while read -r letter folder; do echo "${letter,,}: $folder"; done < <(orvo_wine_drives)
    } | sort)
    have=$(for entry in "$1"/dosdevices/?: "$1"/dosdevices/?::; do
        [[ -L $entry || -e $entry ]] && echo "${entry##*/} $(readlink -- "$entry")"
    done | sort)
    [[ $have == "$want" ]]
}
