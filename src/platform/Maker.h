#pragma once

// Who makes the unit and how to reach them: the one place the mail actions and the about box
// take these from. The domain is one reserved for documentation until the real ones are known.
namespace Maker {

inline constexpr const char *SupportEmail = "support@example.com";
inline constexpr const char *WebPage = "www.example.com/traction";  // the about box adds "http://"
inline constexpr const char *Name = "Veltorane Motorsport Electronics";
inline constexpr const char *Address = "Unit 4, Example Park, Exampleton EX1 2MP";

}  // namespace Maker
