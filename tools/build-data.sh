#!/bin/sh
# Rebuilds everything in data/ from the public raw data.
#   tools/build-data.sh [RAW_DIR]      (default: ../shared/data from the repository root)
# Builds tarnwell-data in build-data/, writes data/dataset/ and data/aux/, and
# keeps every command it ran and every import report in data/build-log.txt.
set -eu
ROOT=$(cd "$(dirname "$0")/.." && pwd)
RAW=$(cd "${1:-$ROOT/../shared/data}" && pwd)
BUILD=${TARNWELL_DATA_BUILD:-$ROOT/build-data}
OUT=$ROOT/data
LOG=$OUT/build-log.txt

cmake -S "$ROOT/tools" -B "$BUILD" -DCMAKE_BUILD_TYPE=Release >/dev/null
cmake --build "$BUILD" -j2 >/dev/null
TD=$BUILD/tarnwell-data

rm -rf "$OUT/dataset" "$OUT/aux"
mkdir -p "$OUT/dataset" "$OUT/aux"
: > "$LOG"
# Logs the command with paths relative to the roots, then runs it.
run() {
  echo "\$ $*" | sed "s|$RAW|RAW|g; s|$OUT|data|g; s|$TD|tarnwell-data|g" >> "$LOG"
  "$@" 2>&1 | sed "s|$RAW|RAW|g; s|$OUT|data|g" >> "$LOG"
  echo >> "$LOG"
}

C=$RAW/catalogs
DS=$OUT/dataset
JAPAN=128/148/24/46

# Catalogues, one source each. Yearly files before 1926 are never read by
# SELECT, and ISC sources only from 1964.
run "$TD" import --source JMA --out "$DS" jma:"$C/jma_japan_quakes_1926-2007_m4.5.csv"
run "$TD" import --source ISC --from 1964 --out "$DS" isc-gem:"$C/isc-gem-cat_v1.05_1900-2009.csv"
run "$TD" import --source PDE --from 1926 --fill-years --to 2007 --out "$DS" \
  centennial:"$C/usgs_centennial_Y2K.CAT.txt"
# NCEDC writes 0.0 for a magnitude it did not determine.
run "$TD" import --source NCEDC --zero-mag unknown --out "$DS" \
  ncedc:"$C/ncedc_dd_nocal_1984-2023.csv.xz"
run "$TD" import --source USGS --type earthquake --out "$DS" \
  geojson:"$C/usgs_all_week_2018-02-07.geojson"

# Historical catalogues of the Japan region, merged from several sources in
# order of preference; an event of a later source on the same or the next day
# within 150 km of one already taken is left out. GHEC events of Japan are
# those with JMA magnitudes, NOAA's those whose location starts with JAPAN.
run "$TD" import --single RIKA.B --to 1884 --box $JAPAN --out "$DS" \
  "ghec@jma:$C/ghec_v1.0_1000-1903.txt" "noaa@JAPAN*:$C/noaa_ncei_significant_earthquakes_2024-04-12.tsv"
run "$TD" import --single VELA.B --split-year 1926 --from 1885 --to 1963 --box $JAPAN --out "$DS" \
  isc-gem:"$C/isc-gem-cat_v1.05_1900-2009.csv" centennial:"$C/usgs_centennial_Y2K.CAT.txt" \
  "ghec@jma:$C/ghec_v1.0_1000-1903.txt" "noaa@JAPAN*:$C/noaa_ncei_significant_earthquakes_2024-04-12.tsv"
