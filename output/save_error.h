// The one error type of the image writers: a save that cannot be completed
// (a picture the format cannot hold, a library failure, a sink that cannot take
// the bytes) throws SaveError with a text meant for the user's message box.
#pragma once

#include <stdexcept>
#include <string>

namespace glimra {

class SaveError : public std::runtime_error {
  public:
    explicit SaveError(const std::string& message) : std::runtime_error(message) {}
};

}  // namespace glimra
