#include <gtest/gtest.h>

#include <cstdlib>
#include <string>

#include "catalog/store.h"
#include "device/menubar.h"
#include "device/screen.h"
#include "recording.h"
#include "shell/shell.h"

using namespace tw;

namespace {

std::string row_text(int r) { return std::string(scr.mz + r * NCOL, NCOL); }

struct ShellTest : ::testing::Test {
	Recording rec;
	void SetUp() override
	{
		use_recording(rec);
		menu_init();
		st.nmax = st.nmax2 = 16380;
		st.itot = 0;
		st.isort = 0;
	}
};

} // namespace

TEST_F(ShellTest, UnboundKeysBeepWithoutMessage)
{
	// A letter and a function key each return to a menu without a message.
	rec.ch('q');
	rec.key(KS_F1 + 4);
	command_step();
	EXPECT_EQ(rec.bells, 1);
	EXPECT_EQ(sh.err, 0);
	command_step();
	EXPECT_EQ(rec.bells, 2);
	rec.ch('z');
	rec.ch('y');
	command_step();
	EXPECT_EQ(row_text(5).substr(10, 20), std::string(20, ' '));
}

TEST_F(ShellTest, CtrlEEndsFromTheMenuWithStatusZero)
{
	try {
		prompt(0);
		FAIL() << "Ctrl+E must end the program";
	} catch (const Exited &e) {
		EXPECT_EQ(e.status, 0);
	}
	// Exit is shown selected as the program ends.
	EXPECT_TRUE(rec.has("itext " + std::to_string(mb.menux1[9] + 1) + " 11 Exit"));
}

TEST_F(ShellTest, LongSeisIsCut)
{
	std::string longdir(200, 'd');
	setenv("SEIS", longdir.c_str(), 1);
	try {
		init();
	} catch (const Exited &) {
	}
	unsetenv("SEIS");
	EXPECT_EQ(std::string(st.drvo_s), longdir.substr(0, sizeof st.drvo_s - 1));
}

TEST(ShellNoDisplay, ReportsAndExitsOne)
{
	be = nullptr;
	open_backend = [] { return (Backend *)nullptr; };
	exit_process = [](int s) { throw Exited{s}; };
	testing::internal::CaptureStdout();
	int status = -1;
	try {
		win_init();
	} catch (const Exited &e) {
		status = e.status;
	}
	EXPECT_EQ(testing::internal::GetCapturedStdout(), "You are not in the X Window environment!\n");
	EXPECT_EQ(status, 1);
}
