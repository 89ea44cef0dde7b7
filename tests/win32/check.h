// A small self-contained check harness: GoogleTest is not packaged for
// MinGW-w64, and these tests must build both natively and for Windows.
#pragma once

#include <cstdio>
#include <functional>
#include <string>
#include <vector>

namespace check {

struct Case {
  const char* name;
  std::function<void()> body;
};

inline std::vector<Case>& Cases() {
  static std::vector<Case> cases;
  return cases;
}

inline int& Failures() {
  static int failures = 0;
  return failures;
}

struct Register {
  Register(const char* name, std::function<void()> body) { Cases().push_back({name, std::move(body)}); }
};

inline void Fail(const char* file, int line, const std::string& what) {
  ++Failures();
  std::printf("  FAILED %s:%d: %s\n", file, line, what.c_str());
}

// Runs every case whose name starts with `prefix`; the exit code is the
// number of failed cases (capped).
inline int RunAll(const std::string& prefix = "") {
  int failedCases = 0;
  for (const Case& c : Cases()) {
    if (std::string(c.name).rfind(prefix, 0) != 0) continue;
    const int before = Failures();
    std::printf("[ RUN  ] %s\n", c.name);
    try {
      c.body();
    } catch (const std::exception& error) {
      Fail(__FILE__, __LINE__, std::string("exception: ") + error.what());
    }
    const bool ok = Failures() == before;
    failedCases += ok ? 0 : 1;
    std::printf("[ %s ] %s\n", ok ? " OK " : "FAIL", c.name);
  }
  std::printf("%zu cases, %d failed\n", Cases().size(), failedCases);
  std::fflush(stdout);
  return failedCases > 100 ? 100 : failedCases;
}

}  // namespace check

#define CHECK_CONCAT2(a, b) a##b
#define CHECK_CONCAT(a, b) CHECK_CONCAT2(a, b)
#define TEST_CASE(name)                                                                         \
  static void CHECK_CONCAT(check_case_, __LINE__)();                                            \
  static const check::Register CHECK_CONCAT(check_register_, __LINE__)(name, CHECK_CONCAT(check_case_, __LINE__)); \
  static void CHECK_CONCAT(check_case_, __LINE__)()

#define CHECK(condition)                                              \
  do {                                                                \
    if (!(condition)) check::Fail(__FILE__, __LINE__, #condition);    \
  } while (false)

#define CHECK_EQ(actual, expected)                                                               \
  do {                                                                                           \
    const auto check_actual = (actual);                                                         \
    const auto check_expected = (expected);                                                     \
    if (!(check_actual == check_expected)) check::Fail(__FILE__, __LINE__, #actual " == " #expected); \
  } while (false)
