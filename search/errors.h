// SPDX-License-Identifier: MIT
#pragma once
#include <stdexcept>
#include <string>

namespace doze {

// Base of every failure the core raises. what() is a complete sentence fit to
// show a user: it names the path concerned and the cause.
class Failure : public std::runtime_error {
  public:
    using std::runtime_error::runtime_error;
};

// The search could not go on: the found-file list is full, or the length of a
// listed file could not be read.
class SearchFailure : public Failure {
  public:
    using Failure::Failure;
};

// Text for an errno value, as the system describes it.
std::string SystemErrorText(int err);

}  // namespace doze
