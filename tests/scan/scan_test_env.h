// An Env for the scan tests that forwards to the real one; tests override
// single calls to inject failures or huge folders.
#ifndef VELLORA_TESTS_SCAN_SCAN_TEST_ENV_H_
#define VELLORA_TESTS_SCAN_SCAN_TEST_ENV_H_

#include "platform/env.h"
#include "platform/forwarding_env.h"

namespace vellora {
namespace scantest {

class ForwardingEnv : public CForwardingEnv {
 public:
  ForwardingEnv() : CForwardingEnv(Env::Default()) {}
};

}  // namespace scantest
}  // namespace vellora

#endif  // VELLORA_TESTS_SCAN_SCAN_TEST_ENV_H_
