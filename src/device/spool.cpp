// Printer spool: every printed page goes to "seis.prn" in the working
// directory and is then handed to lpr.
#include "device/spool.h"

#include <cctype>
#include <cerrno>
#include <cstring>
#include <sys/wait.h>
#include <unistd.h>

#include "device/menubar.h"
#include "device/screen.h"
#include "device/safefile.h"

namespace tw {

Spool sp;

static constexpr const char *PRNFILE = "seis.prn";

void spool_reset()
{
	if (sp.fq)
		std::fclose(sp.fq);
	sp = Spool{};
}

void get_printer_defaults(char *kind, char *name)
{
	std::strcpy(kind, "PS  ");
	std::strcpy(name, "ps");
}

int pfile_open(const char *mode)
{
	if (sp.fq)
		std::fclose(sp.fq);
	sp.fq = std::fopen(PRNFILE, mode);
	return sp.fq != nullptr;
}

bool pfile_close()
{
	if (!sp.fq)
		return true;
	bool whole = close_whole(sp.fq);
	sp.fq = nullptr;
	if (!whole)
		spool_message("Printer file cannot be written!");
	return whole;
}

int lpinit()
{
	if (pfile_open("w"))
		return 1;
	spool_message("Printer file cannot be opened!");
	return 0;
}

void lpputs(const char *text)
{
	if (sp.fq)
		std::fputs(text, sp.fq);
}

void lpputn(const char *bytes, int n)
{
	for (int i = 0; sp.fq && i < n; i++)
		std::fputc(bytes[i], sp.fq);
}

// A job that was not written whole is never sent: half a listing or an
// empty page would pass for the real thing.
int lpclose()
{
	return pfile_close() && lpsubmit();
}

// The spooler runs without a shell, so whatever the printer name holds it
// stays one argument. With no name lpr takes its default printer (a bare
// -P would swallow the file name as the printer).
int lpsubmit()
{
	char opt[sizeof sp.port_s + 2];
	std::snprintf(opt, sizeof opt, "-P%s", sp.port_s);
	char *argv[4] = {(char *)"lpr", opt, (char *)PRNFILE, nullptr};
	if (!sp.port_s[0])
		argv[1] = (char *)PRNFILE, argv[2] = nullptr;
	std::fflush(nullptr);
	pid_t pid = fork();
	if (pid == 0) {
		execvp("lpr", argv);
		_exit(127);
	}
	int status = 0;
	while (pid > 0 && waitpid(pid, &status, 0) < 0 && errno == EINTR)
		;
	if (pid > 0 && WIFEXITED(status) && WEXITSTATUS(status) == 0)
		return 1;
	spool_message("Print job failed (lpr)!");
	return 0;
}

int tcopy()
{
	blueF1_2(0);
	if (!lpinit())
		return 0;
	for (int r = 0; r < NROW; r++) {
		char line[NCOL + 3];
		for (int c = 0; c < NCOL; c++) {
			unsigned char ch = (unsigned char)scr.mz[r * NCOL + c];
			line[c] = std::isprint(ch) ? (char)ch : ' ';
		}
		std::memcpy(line + NCOL, "\r\n", 3);
		lpputs(line);
	}
	return lpclose();
}

} // namespace tw
