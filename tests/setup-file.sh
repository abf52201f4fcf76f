# Sourced by the end-to-end scripts and the tour: a 42-line setup file in
# $HOME for a session.
# write_seis DATADIR AUXDIR SOURCE YEAR1 YEAR2 REGION LON1 LON2 LAT1 LAT2
# selects whole years YEAR1 to YEAR2 from SOURCE, in REGION ("" for the box
# LON1-LON2 E, LAT1-LAT2 N in whole degrees), with the usual symbol classes.
write_seis() {
	{
		echo "$1"; echo "PS  "; echo ps; echo "$3"
		printf '%s\n' "$4" 01 01 00 00 00.00 "$5" 12 31 23 59 59.99 "$6"
		printf '%s\n' "$7" 00 E "$8" 00 E "$9" 00 N "${10}" 00 N
		printf '%s\n' 000.0 999.9 +0.0 +9.9 Y Y ""
		echo "7 8 1.500000 1.250000"; echo "0 20 40 60 80 200 600 "
		echo "4 5 6 2 3 1 7 "
		echo "0.000000 1.000000 2.000000 3.000000 4.000000 5.000000 6.000000 7.000000 "
		echo 000; echo "$2"
	} > "$HOME/_seis"
}
