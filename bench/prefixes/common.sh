# Shared by the prefix benchmarks: sourced, not run.

# Wine's sample prefix copied to $1, its drive link restored (git may keep it as text).
copy_sample_prefix() {
    cp -a tests/data/wine8-prefix "$1"
    rm -f "$1/dosdevices/c:" && ln -s ../drive_c "$1/dosdevices/c:"
}

# The program of the build $2 and its companion files in the folder $1, a language chosen.
install_program() {
    mkdir -p "$1"
    cp -a "$2/bin/navolis" "$2/bin/libQuTrans1.so"* "$2/bin/navolis.def" "$2/bin/qutrans" "$1/"
    printf '1.5a' >"$1/navolis.cho"
}
