// The one exception type that platform operations throw. Its message is CP932 text
// ready to show (the operation, the path and the system's reason).
#pragma once

#include <stdexcept>
#include <string>

namespace orv {

class EOSError : public std::runtime_error {
public:
  EOSError(const std::string& message, int code) : std::runtime_error(message), m_code(code) {}
  int Code() const { return m_code; }

private:
  int m_code;
};

}  // namespace orv
