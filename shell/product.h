#pragma once

/// The product's fixed names and web addresses, kept in one place.
namespace trellisane {

/// The product name: window caption and source of the application title.
inline constexpr char kProductName[] = "Trellisane";
/// Maker and product names under which the settings store keeps its values.
inline constexpr char kSettingsOrganisation[] = "Quorvane";
inline constexpr char kSettingsApplication[] = "Trellisane";
/// The maker's home page, opened on about one start in a hundred.
inline constexpr char kHomePageUrl[] = "https://www.quorvane.com/";
/// The support site's contact page, named by the "Help" message.
inline constexpr char kContactPageUrl[] = "https://support.quorvane.com/contact/";
/// The address the application error report asks the user to write to.
inline constexpr char kSupportEmail[] = "support@quorvane.com";

}  // namespace trellisane
