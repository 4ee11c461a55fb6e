#pragma once

#include <string>

// The maker's addresses, kept in one place. The hosts are reserved example
// names until the game has real ones.
namespace Links {

inline constexpr const char* AuthorMailAddress = "korvast@halvory.example";
inline constexpr const char* WebSiteHost = "www.halvory.example";
inline constexpr const char* OrderHost = "order.payments.example";
inline constexpr const char* ProductCode = "HALVORY-TAVRINE";
// Where the update check fetches its document; TAVRINE_UPDATE_URL replaces it.
inline constexpr const char* DefaultUpdateURL = "http://www.halvory.example/Updates/tavrine.xml";

// "mailto:" and the author's address.
std::string AuthorMailURL();
// "http://" and the web site's host: its home page.
std::string WebSiteURL();
// The order page: "http://", the order host, "/?", the product code, "&lang=en".
std::string OrderURL();
// The update URL in force: TAVRINE_UPDATE_URL when set, else the default.
std::string UpdateURL();

} // namespace Links
