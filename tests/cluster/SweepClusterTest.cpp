// Sweeps through the schedulers of real clusters: a private one-node Slurm and a private sshd on
// the loopback interface, each started inside the test's temporary folder and stopped by process
// id. A sweep through either must give the very bytes of the same sweep on local cores.
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <filesystem>
#include <string>
#include <vector>

#include "batch/BatchTestSupport.h"
#include "platform/Format.h"

namespace dravia {
namespace {

namespace fs = std::filesystem;

constexpr int RUNS = 3;
constexpr const char* SWEEP_SIZE = " -n 3 --seed 4242 --iterations 2 --years 60 ";

// The files a finished sweep leaves whose bytes must not depend on where the runs ran.
const std::vector<std::string> SWEEP_PRODUCTS = {"seeds.txt", "merged/Data/results.out",
                                                 "reports/plain/statsResults.out",
                                                 "reports/tab-separated/statsResults.out"};

fs::path sourceFile(const std::string& relative) {
    return fs::path(DRAVIA_SOURCE_DIR) / relative;
}

std::string sweepCommand(const std::string& options, const fs::path& scenario, const fs::path& out) {
    return test::quoted(sourceFile("tools/sweep")) + " --batch " + test::batchTool() + SWEEP_SIZE + options +
           " " + test::quoted(scenario) + " " + test::quoted(out) + " 2>&1";
}

// The same sweep on this machine's cores through GNU parallel: the bytes to match.
fs::path localSweep(const fs::path& scenario, const fs::path& directory) {
    const fs::path out = directory / "local";
    const auto result = test::runCommand(sweepCommand("-j 2", scenario, out));
    EXPECT_EQ(result.status, 0) << result.output;
    return out;
}

void expectSameProducts(const fs::path& expected, const fs::path& actual) {
    for (const std::string& product : SWEEP_PRODUCTS) {
        ASSERT_TRUE(fs::exists(actual / product)) << product;
        const std::string bytes = test::readTextFile(expected / product);
        EXPECT_FALSE(bytes.empty()) << product;
        EXPECT_TRUE(bytes == test::readTextFile(actual / product)) << product << " differs";
    }
}

// Value of NAME=... among the lines a start script printed.
std::string printedValue(const std::string& output, const std::string& name) {
    for (const std::string& line : test::linesOf(output)) {
        if (line.rfind(name + "=", 0) == 0) return line.substr(name.size() + 1);
    }
    return {};
}

// A private daemon set started by one of the scripts and stopped by it, whatever the test does.
class PrivateDaemons {
  public:
    PrivateDaemons(std::string script, fs::path directory)
        : script_(std::move(script)), directory_(std::move(directory)) {
        const auto result =
            test::runCommand("bash " + test::quoted(sourceFile(script_)) + " start " +
                             test::quoted(directory_) + " 2>" + test::quoted(directory_.string() + ".err"));
        status_ = result.status;
        output_ = result.output;
        errors_ = test::readTextFile(directory_.string() + ".err");
    }
    ~PrivateDaemons() {
        test::runCommand("bash " + test::quoted(sourceFile(script_)) + " stop " + test::quoted(directory_) +
                         " 2>&1");
    }
    PrivateDaemons(const PrivateDaemons&) = delete;
    PrivateDaemons& operator=(const PrivateDaemons&) = delete;

    int status() const { return status_; }
    const std::string& output() const { return output_; }
    const std::string& errors() const { return errors_; }

  private:
    std::string script_;
    fs::path directory_;
    int status_ = -1;
    std::string output_;
    std::string errors_;
};

constexpr int SLURMD_REFUSED_BY_KERNEL = 3;  // local-slurm.sh's status when slurmd's log says so

// Starts the cluster or says why the test cannot go on; only a kernel or cgroup refusal of slurmd
// is a reason to skip, any other failure to start is a failure.
#define START_SLURM_OR_RETURN(cluster)                                                      \
    if ((cluster).status() == SLURMD_REFUSED_BY_KERNEL) GTEST_SKIP() << (cluster).errors(); \
    ASSERT_EQ((cluster).status(), 0) << (cluster).errors();                                 \
    ASSERT_FALSE(printedValue((cluster).output(), "SLURM_CONF").empty()) << (cluster).output()

TEST(SweepOnSlurm, JobArrayGivesTheBytesOfTheLocalSweep) {
    test::TempDirectory directory;
    const fs::path scenario = test::shippedScenario(directory.path() / "scenario");
    const PrivateDaemons cluster("scripts/local-slurm.sh", directory.path() / "slurm");
    START_SLURM_OR_RETURN(cluster);
    const fs::path local = localSweep(scenario, directory.path());

    const fs::path out = directory.path() / "slurm-sweep";
    const auto result =
        test::runCommand("SLURM_CONF=" + test::quoted(printedValue(cluster.output(), "SLURM_CONF")) + " " +
                         sweepCommand("--slurm --wait --max-parallel 2 --time 5", scenario, out));
    ASSERT_EQ(result.status, 0) << result.output;
    EXPECT_NE(result.output.find("job array "), std::string::npos) << result.output;
    EXPECT_NE(result.output.find("finishing job "), std::string::npos) << result.output;
    for (int k = 1; k <= RUNS; ++k) {
        EXPECT_EQ(test::readTextFile(out / "jobs" / formatText("job-%04d", k) / "exit-status"), "0\n") << k;
        EXPECT_TRUE(fs::exists(out / "slurm" / formatText("task-%d.out", k)))
            << "task " << k << " ran outside Slurm";
    }
    expectSameProducts(local, out);
}

TEST(SweepOnSlurm, FailedTaskFailsTheSweepAndIsNamed) {
    test::TempDirectory directory;
    const fs::path scenario = test::shippedScenario(directory.path() / "scenario");
    const PrivateDaemons cluster("scripts/local-slurm.sh", directory.path() / "slurm");
    START_SLURM_OR_RETURN(cluster);

    // The second replicate's seed: 4242 * 16807^715827882 mod (2^31 - 1), 715827882 being
    // floor((2^31 - 2) / 3), computed here by square-and-multiply.
    unsigned long long power = 1, base = 16807, exponent = 2147483646ULL / RUNS;
    const unsigned long long modulus = 2147483647ULL;
    for (; exponent > 0; exponent >>= 1, base = base * base % modulus) {
        if (exponent & 1ULL) power = power * base % modulus;
    }
    const std::string failingSeed = std::to_string(4242ULL * power % modulus);

    // A dravia4-batch that refuses to run that one seed and does everything else as usual.
    const fs::path wrapper = directory.path() / "failing-batch";
    test::writeTextFile(wrapper, "#!/bin/sh\ncase \" $* \" in *\" --seed " + failingSeed +
                                     " \"*) echo 'no run today' >&2; exit 7 ;; esac\nexec " +
                                     test::batchTool() + " \"$@\"\n");
    fs::permissions(wrapper, fs::perms::owner_all);

    const fs::path out = directory.path() / "slurm-sweep";
    const auto result = test::runCommand(
        "SLURM_CONF=" + test::quoted(printedValue(cluster.output(), "SLURM_CONF")) + " " +
        test::quoted(sourceFile("tools/sweep")) + " --batch " + test::quoted(wrapper) + SWEEP_SIZE +
        "--slurm --wait " + test::quoted(scenario) + " " + test::quoted(out) + " 2>&1");
    EXPECT_EQ(result.status, 1) << result.output;
    EXPECT_NE(result.output.find("1 of 3 jobs did not succeed"), std::string::npos) << result.output;
    EXPECT_NE(result.output.find("job-0002 (seed " + failingSeed + ") failed with exit status 7"),
              std::string::npos)
        << result.output;
    EXPECT_EQ(result.output.find("job-0001 ("), std::string::npos) << result.output;
    EXPECT_EQ(result.output.find("job-0003 ("), std::string::npos) << result.output;
    EXPECT_FALSE(fs::exists(out / "merged")) << "a sweep with a failed replicate was merged";
    EXPECT_EQ(test::readTextFile(out / "jobs" / "job-0002" / "exit-status"), "7\n");
}

TEST(SweepOverSsh, RemoteHostGivesTheBytesOfTheLocalSweep) {
    test::TempDirectory directory;
    const fs::path scenario = test::shippedScenario(directory.path() / "scenario");
    const PrivateDaemons server("scripts/local-sshd.sh", directory.path() / "sshd");
    ASSERT_EQ(server.status(), 0) << server.errors();
    const std::string login = printedValue(server.output(), "SSHLOGIN");
    const std::string ssh = printedValue(server.output(), "SSH");
    ASSERT_FALSE(login.empty() || ssh.empty()) << server.output();
    const fs::path local = localSweep(scenario, directory.path());

    const fs::path out = directory.path() / "ssh-sweep";
    const auto result = test::runCommand(sweepCommand(
        "-S " + test::quoted(login) + " --ssh " + test::quoted(ssh) + " --remote-batch " + test::batchTool(),
        scenario, out));
    ASSERT_EQ(result.status, 0) << result.output;
    expectSameProducts(local, out);
    EXPECT_FALSE(fs::exists(out / "transfer")) << "the tarballs of the transfer were left behind";
}

}  // namespace
}  // namespace dravia
