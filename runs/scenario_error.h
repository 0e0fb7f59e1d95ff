#pragma once

#include <stdexcept>
#include <string>

namespace porteka::replay {

// Something the scenario asks for that the game cannot do, or a scenario that
// cannot be read. The tool prints it and exits with 2.
class ScenarioError : public std::runtime_error {
 public:
  explicit ScenarioError(const std::string& what) : std::runtime_error(what) {}
};

}  // namespace porteka::replay
