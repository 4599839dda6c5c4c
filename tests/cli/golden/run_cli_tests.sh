#!/usr/bin/env bash
# End-to-end tests of quillane-cli: exact texts against the golden files, exit codes, messages.
# Usage: run_cli_tests.sh PATH/TO/quillane-cli [CASE]   (run from the source root)
# Each case_NAME function below is one case; with no CASE given every case runs.
set -u
cli=$1
only=${2:-}
here=tests/cli/golden
expected=$here/expected
tmp=$(mktemp -d)
trap 'rm -rf "$tmp"' EXIT
passed=0
failed=0

pass() { passed=$((passed + 1)); }
fail() { failed=$((failed + 1)); echo "FAIL: $*"; }

# run NAME EXPECTED_STATUS ARGS... : runs the tool, keeps stdout/stderr in $tmp/NAME.{out,err}
run() {
  local name=$1 want=$2
  shift 2
  "$cli" "$@" >"$tmp/$name.out" 2>"$tmp/$name.err"
  local got=$?
  if [ "$got" -eq "$want" ]; then pass; else fail "$name: exit status $got, expected $want ($(head -c 300 "$tmp/$name.err"))"; fi
}

status_is() {  # status_is NAME GOT WANT
  if [ "$2" -eq "$3" ]; then pass; else fail "$1: exit status $2, expected $3"; fi
}

same() {  # same NAME FILE_A FILE_B
  if cmp -s "$2" "$3"; then pass; else fail "$1: $2 differs from $3"; diff <(cat -A "$2") <(cat -A "$3") | head -10; fi
}

contains() {  # contains NAME FILE TEXT
  if grep -qF -- "$3" "$2"; then pass; else fail "$1: '$3' not in $2: $(head -c 300 "$2")"; fi
}

empty() {  # empty NAME FILE
  if [ ! -s "$2" ]; then pass; else fail "$1: $2 is not empty"; fi
}

# Generated programs, byte for byte.
case_trv() {
  run trv 0 generate examples/worked-example.toml
  same trv "$tmp/trv.out" "$expected/worked-example.trv.nc"
  empty trv-stderr "$tmp/trv.err"
}
case_fanuc() {
  run fanuc 0 generate --dialect fanuc examples/worked-example.toml
  same fanuc "$tmp/fanuc.out" "$expected/worked-example.fanuc.nc"
}
case_plain() {
  run plain 0 generate --no-sequence-numbers --no-modin examples/worked-example.toml
  same plain "$tmp/plain.out" "$expected/worked-example.plain.nc"
}
case_external() {
  run external 0 generate $here/shapes/external-groove.toml
  same external "$tmp/external.out" "$expected/external-groove.nc"
  contains external-warning "$tmp/external.err" \
    "warning: $here/shapes/external-groove.toml: D2-F 1 is not below twice Nose-R 0.4: the passes on the land are 1 apart"
}
case_pair() {
  run pair 0 generate examples/roughing.toml examples/finishing.toml
  same pair "$tmp/pair.out" "$expected/roughing-finishing.nc"
}

# The two texts into files: the same texts, nothing on standard output.
case_files() {
  run files 0 generate --point-data "$tmp/points.nc" --program "$tmp/program.nc" examples/worked-example.toml
  empty files-stdout "$tmp/files.out"
  cat "$tmp/points.nc" "$tmp/program.nc" >"$tmp/both.nc"
  same files "$tmp/both.nc" "$expected/worked-example.trv.nc"
  contains files-crlf "$tmp/points.nc" $'N000 MODOUT\r'
}

# The sample programs.
case_examples() {
  run ex-fanuc 0 example fanuc
  same ex-fanuc "$tmp/ex-fanuc.out" "$expected/example-fanuc.nc"
  run ex-trv 0 example trv-standard
  same ex-trv "$tmp/ex-trv.out" "$expected/example-trv-standard.nc"
  run ex-macro 0 example trv-macro
  same ex-macro "$tmp/ex-macro.out" "$expected/example-trv-macro.nc"
}

# The cross-section check of the worked example: status 3 (cusps beyond 0.01 mm), the figures
# as text and as JSON; a tool angle from the shape file, which the generator does not read.
case_check() {
  run check 3 check examples/worked-example.toml
  same check "$tmp/check.out" "$expected/worked-example.check.txt"
  empty check-stderr "$tmp/check.err"
}
case_check_json() {
  run check-json 3 check --tool-angle 60 --json examples/worked-example.toml
  same check-json "$tmp/check-json.out" "$expected/worked-example.check-60.json"
  run check-file-angle 3 check --json $here/shapes/worked-example-60.toml
  same check-file-angle "$tmp/check-file-angle.out" "$expected/worked-example.check-60.json"
  run check-line-wins 3 check --tool-angle 0 $here/shapes/worked-example-60.toml
  same check-line-wins "$tmp/check-line-wins.out" "$expected/worked-example.check.txt"
  run check-generate 0 generate $here/shapes/worked-example-60.toml
  same check-generate "$tmp/check-generate.out" "$expected/worked-example.trv.nc"
  # With the 60-degree insert nothing is left beyond 0.2 mm and nothing gouges.
  run check-within 0 check --tool-angle 60 --target 0.2 examples/worked-example.toml
}
case_check_errors() {
  run check-angle 2 check --tool-angle 180 examples/worked-example.toml
  contains check-angle-msg "$tmp/check-angle.err" "--tool-angle takes degrees from 0 up to below 180"
  run check-target 2 check --target 0 examples/worked-example.toml
  contains check-target-msg "$tmp/check-target.err" "--target takes a height in mm above 0"
  run check-nothing 2 check
  run check-key 2 check $here/shapes/unknown-key.toml
  run check-data 1 check $here/shapes/flat-flank.toml
  contains check-data-msg "$tmp/check-data.err" "Data error $here/shapes/flat-flank.toml"
  empty check-data-stdout "$tmp/check-data.out"
}

# A data error: status 1, the message and the file, the texts up to the failure.
case_data_error() {
  run data-error 1 generate examples/worked-example.toml $here/shapes/flat-flank.toml
  contains data-error-msg "$tmp/data-error.err" "Data error $here/shapes/flat-flank.toml"
  contains data-error-why "$tmp/data-error.err" "A 1 is 0"
  same data-error-texts "$tmp/data-error.out" "$expected/worked-example.trv.nc"
  run data-error-files 1 generate --program "$tmp/failed.nc" $here/shapes/flat-flank.toml
  same data-error-files "$tmp/failed.nc" /dev/null
}

# A number no control reads: status 1, the data error names the box, nothing is written.
case_unreadable_numbers() {
  local row name edit box
  for row in "start-z|s/^StartPointZ = 5/StartPointZ = 1E306/|pass start Z (Start Point Z + PITCH)" \
             "end-z|s/^EndPointZ = -80/EndPointZ = -1E306/|End Point Z" \
             "retract-x|s/^RetractX = 28/RetractX = 1E306/|Retract X"; do
    IFS='|' read -r name edit box <<<"$row"
    sed "$edit" examples/worked-example.toml >"$tmp/$name.toml"
    run "unreadable-$name" 1 generate --no-modin "$tmp/$name.toml"
    contains "unreadable-$name-msg" "$tmp/unreadable-$name.err" \
      "Data error $tmp/$name.toml: $box: the number would be written with 307 digits before the decimal point"
    same "unreadable-$name-texts" "$tmp/unreadable-$name.out" /dev/null
  done
}

# The shape check: warnings on standard error; --strict stops on them before anything is written.
case_warnings() {
  sed 's/^RetractX = 28/RetractX = 40/; s/^Pitch = 12.7/Pitch = "12,7"/' examples/worked-example.toml >"$tmp/slips.toml"
  run warnings 0 generate "$tmp/slips.toml"
  contains warnings-retract "$tmp/warnings.err" "warning: $tmp/slips.toml: Retract X 40 is not below the bore of"
  contains warnings-comma "$tmp/warnings.err" "warning: $tmp/slips.toml: PITCH \"12,7\" is read as 12"
  contains warnings-texts "$tmp/warnings.out" $'N000 G00 X40\r'
  run strict 3 generate --strict --program "$tmp/strict.nc" "$tmp/slips.toml"
  contains strict-warning "$tmp/strict.err" "warning: $tmp/slips.toml: Retract X 40"
  empty strict-stdout "$tmp/strict.out"
  if [ -e "$tmp/strict.nc" ]; then fail "strict: $tmp/strict.nc was written"; else pass; fi
  run strict-clean 0 generate --strict examples/worked-example.toml
  same strict-clean "$tmp/strict-clean.out" "$expected/worked-example.trv.nc"
  empty strict-clean-stderr "$tmp/strict-clean.err"
}

# Usage errors: status 2, a message naming what is wrong, nothing generated.
case_shape_file_errors() {
  run unknown-key 2 generate examples/worked-example.toml $here/shapes/unknown-key.toml
  contains unknown-key-msg "$tmp/unknown-key.err" "$here/shapes/unknown-key.toml:3: key \"NoseRadius\": unknown key"
  empty unknown-key-stdout "$tmp/unknown-key.out"
  run syntax 2 generate $here/shapes/syntax-error.toml
  contains syntax-msg "$tmp/syntax.err" "$here/shapes/syntax-error.toml:2"
  run missing 2 generate $here/shapes/no-such-file.toml
  contains missing-msg "$tmp/missing.err" "no-such-file.toml: cannot be read"
}
case_usage_errors() {
  run bad-dialect 2 generate --dialect haas examples/worked-example.toml
  contains bad-dialect-msg "$tmp/bad-dialect.err" "--dialect takes trv or fanuc"
  run bad-option 2 generate --fast examples/worked-example.toml
  contains bad-option-msg "$tmp/bad-option.err" "unknown option --fast"
  run no-files 2 generate
  run bad-example 2 example okuma
  run bad-command 2 frobnicate
  run no-args 2
  run help 0 --help
  contains help-text "$tmp/help.out" "quillane-cli generate"
}

# Output that cannot be written: status 2 and the reason, the old file intact, nothing left beside it.
case_output_failures() {
  "$cli" generate examples/worked-example.toml >/dev/full 2>"$tmp/full.err"
  status_is full-generate $? 2
  contains full-generate-msg "$tmp/full.err" "cannot write standard output"
  "$cli" example fanuc >/dev/full 2>"$tmp/full-example.err"
  status_is full-example $? 2
  "$cli" --help >/dev/full 2>/dev/null
  status_is full-help $? 2
  mkdir "$tmp/out"
  for out in program.nc plot.json; do
    echo old >"$tmp/out/$out"
    # A disk that fills after the first kilobyte.
    (
      ulimit -f 1
      trap '' XFSZ
      if [ "$out" = program.nc ]; then
        exec "$cli" generate --program "$tmp/out/$out" examples/worked-example.toml
      else
        exec "$cli" plot --cutting --shape examples/worked-example.toml -o "$tmp/out/$out" "$expected/worked-example.trv.nc"
      fi
    ) >/dev/null 2>"$tmp/$out.err"
    status_is "full-$out" $? 2
    contains "full-$out-msg" "$tmp/$out.err" "$tmp/out/$out: cannot be written (File too large)"
    same "full-$out-kept" "$tmp/out/$out" <(echo old)
  done
  if [ "$(ls -A "$tmp/out")" = $'plot.json\nprogram.nc' ]; then pass; else fail "left behind: $(ls -A "$tmp/out")"; fi
}

# Pictures through the picture library, as a user runs the tool (a build without the library,
# such as the core-only one, has none to test). The tool and the library each carry a C++
# runtime, so what crosses between them (the drawing, the picture's bytes, the error stream)
# is exercised here by the real process.
case_pictures() {
  [ -e "$(dirname "$cli")/libquillane_picture.so" ] || return 0
  run png 0 plot --cutting --shape examples/worked-example.toml -o "$tmp/p.png" "$expected/worked-example.trv.nc"
  if [ "$(head -c 4 "$tmp/p.png" | od -An -tx1 | tr -d ' ')" = 89504e47 ]; then pass; else fail "png: not a PNG"; fi
  # Nothing on the error stream, also where no runtime folder is set (root in a container).
  XDG_RUNTIME_DIR= run png-quiet 0 plot --cutting --shape examples/worked-example.toml -o "$tmp/q.png" "$expected/worked-example.trv.nc"
  empty png-quiet-stderr "$tmp/png-quiet.err"
  run svg 0 plot --points --shape examples/worked-example.toml --size 640x400 -o "$tmp/p.svg" "$expected/worked-example.trv.nc"
  contains svg-text "$tmp/p.svg" "<svg"
  run png-unwritable 2 plot --cutting --shape examples/worked-example.toml -o "$tmp/none/p.png" "$expected/worked-example.trv.nc"
  contains png-unwritable-msg "$tmp/png-unwritable.err" "$tmp/none/p.png: cannot be written"
}

# Inputs that are not files, too large, or the output itself: usage errors naming them.
case_bad_inputs() {
  mkdir "$tmp/adir"
  run dir-shape 2 generate "$tmp/adir"
  contains dir-shape-msg "$tmp/dir-shape.err" "$tmp/adir: is a directory, not a file"
  run dir-program 2 plot --cutting --shape examples/worked-example.toml -o "$tmp/x.json" "$tmp/adir"
  contains dir-program-msg "$tmp/dir-program.err" "$tmp/adir: is a directory"
  run device 2 plot --cutting --shape examples/worked-example.toml -o "$tmp/x.json" /dev/zero
  contains device-msg "$tmp/device.err" "/dev/zero: is a device, not a file"
  run device-shape 2 generate /dev/zero
  head -c 2000 /dev/zero | tr '\0' ' ' >"$tmp/blanks.nc"
  run over-limit 2 plot --cutting --max-input 1K --shape examples/worked-example.toml -o "$tmp/x.json" "$tmp/blanks.nc"
  contains over-limit-msg "$tmp/over-limit.err" "$tmp/blanks.nc: larger than the input limit of 1 KB"
  run raised-limit 0 plot --cutting --max-input 2K --shape examples/worked-example.toml -o "$tmp/x.json" "$tmp/blanks.nc"
  run bad-limit 2 generate --max-input lots examples/worked-example.toml
  cp examples/worked-example.toml "$tmp/same.toml"
  run same-file 2 generate --program "$tmp/same.toml" "$tmp/same.toml"
  contains same-file-msg "$tmp/same-file.err" "the output $tmp/same.toml is the input $tmp/same.toml"
  same same-file-kept "$tmp/same.toml" examples/worked-example.toml
  run same-plot 2 plot --cutting --shape examples/worked-example.toml -o "$tmp/same.toml" "$tmp/same.toml"
  same same-plot-kept "$tmp/same.toml" examples/worked-example.toml
  "$cli" generate - <examples/worked-example.toml >"$tmp/stdin.out" 2>"$tmp/stdin.err"
  status_is stdin $? 0
  same stdin-texts "$tmp/stdin.out" "$expected/worked-example.trv.nc"
}

# A program with LF (or mixed) line ends plots as the same program with CR LF.
case_line_ends() {
  tr -d '\r' <"$expected/worked-example.trv.nc" >"$tmp/lf.nc"
  awk 'NR % 2 == 0 { sub(/\r$/, "") } { print }' "$expected/worked-example.trv.nc" >"$tmp/mixed.nc"
  run crlf-plot 0 plot --cutting --shape examples/worked-example.toml -o "$tmp/crlf.json" "$expected/worked-example.trv.nc"
  for ends in lf mixed; do
    run $ends-plot 0 plot --cutting --shape examples/worked-example.toml -o "$tmp/$ends.json" "$tmp/$ends.nc"
    same $ends-plot-as-crlf "$tmp/$ends.json" "$tmp/crlf.json"
  done
}

if [ -n "$only" ]; then
  "case_$only"
else
  for c in $(declare -F | awk '$3 ~ /^case_/ {print $3}'); do "$c"; done
fi

echo "$passed passed, $failed failed"
[ "$failed" -eq 0 ]
