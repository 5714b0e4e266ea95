#pragma once

#include <curl/curl.h>

#include <string>

namespace ormel {

/// The libcurl calls the HTTP transfer makes. libcurl is loaded when the first transfer starts,
/// not when the program does: linked in, it and the thirty-odd libraries it needs (TLS, Kerberos,
/// LDAP, SSH...) would be loaded and relocated at every start, for an update check that most
/// sessions never run.
struct CurlLibrary {
  CURL* (*easy_init)();
  void (*easy_cleanup)(CURL*);
  CURLcode (*easy_setopt)(CURL*, CURLoption, ...);
  const char* (*easy_strerror)(CURLcode);
  CURLM* (*multi_init)();
  CURLMcode (*multi_cleanup)(CURLM*);
  CURLMcode (*multi_add_handle)(CURLM*, CURL*);
  CURLMcode (*multi_remove_handle)(CURLM*, CURL*);
  CURLMcode (*multi_perform)(CURLM*, int*);
  CURLMcode (*multi_poll)(CURLM*, curl_waitfd*, unsigned int, int, int*);
  CURLMcode (*multi_wakeup)(CURLM*);
  CURLMsg* (*multi_info_read)(CURLM*, int*);
  curl_slist* (*slist_append)(curl_slist*, const char*);
  void (*slist_free_all)(curl_slist*);
};

/// libcurl, loaded and initialised on the first call from any thread and kept for the rest of the
/// program; nullptr when it cannot be loaded, with the reason in `error`.
const CurlLibrary* curlLibrary(std::string& error);

}  // namespace ormel
