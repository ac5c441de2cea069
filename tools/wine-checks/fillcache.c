/* Fills the three URL cache containers of the current Wine prefix through
   wininet: content entries, persistent cookies and "Visited:" records,
   several of them with Windows-1252 bytes in their names. */
#include "common.h"

static const unsigned char tiny_gif[] = {
  0x47, 0x49, 0x46, 0x38, 0x39, 0x61, 0x01, 0x00, 0x01, 0x00, 0x80, 0x00,
  0x00, 0xff, 0x00, 0x00, 0x00, 0x00, 0x00, 0x21, 0xf9, 0x04, 0x00, 0x00,
  0x00, 0x00, 0x00, 0x2c, 0x00, 0x00, 0x00, 0x00, 0x01, 0x00, 0x01, 0x00,
  0x00, 0x02, 0x02, 0x44, 0x01, 0x00, 0x3b
};

/* 8x8 grey baseline JPEG: one DC and one AC code, a single block. */
static const unsigned char tiny_jpeg[] = {
  0xff, 0xd8, 0xff, 0xe0, 0x00, 0x10, 0x4a, 0x46, 0x49, 0x46, 0x00, 0x01,
  0x01, 0x00, 0x00, 0x01, 0x00, 0x01, 0x00, 0x00, 0xff, 0xdb, 0x00, 0x43,
  0x00, 0x01, 0x01, 0x01, 0x01, 0x01, 0x01, 0x01, 0x01, 0x01, 0x01, 0x01,
  0x01, 0x01, 0x01, 0x01, 0x01, 0x01, 0x01, 0x01, 0x01, 0x01, 0x01, 0x01,
  0x01, 0x01, 0x01, 0x01, 0x01, 0x01, 0x01, 0x01, 0x01, 0x01, 0x01, 0x01,
  0x01, 0x01, 0x01, 0x01, 0x01, 0x01, 0x01, 0x01, 0x01, 0x01, 0x01, 0x01,
  0x01, 0x01, 0x01, 0x01, 0x01, 0x01, 0x01, 0x01, 0x01, 0x01, 0x01, 0x01,
  0x01, 0x01, 0x01, 0x01, 0x01, 0xff, 0xc0, 0x00, 0x0b, 0x08, 0x00, 0x08,
  0x00, 0x08, 0x01, 0x01, 0x11, 0x00, 0xff, 0xc4, 0x00, 0x14, 0x00, 0x01,
  0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00,
  0x00, 0x00, 0x00, 0x00, 0xff, 0xc4, 0x00, 0x14, 0x10, 0x01, 0x00, 0x00,
  0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00,
  0x00, 0x00, 0xff, 0xda, 0x00, 0x08, 0x01, 0x01, 0x00, 0x00, 0x3f, 0x00,
  0x3f, 0xff, 0xd9
};

/* The page pulls its image, script and stylesheet from a local port, so a
   test can listen there and notice any attempt to load them. */
static const char index_html[] =
    "<!DOCTYPE html>\n"
    "<html><head><title>Example start page</title>\n"
    "<link rel=\"stylesheet\" href=\"http://127.0.0.1:8931/css/site.css\">\n"
    "<script src=\"http://127.0.0.1:8931/js/track.js\"></script>\n"
    "</head><body>\n"
    "<h1>Example</h1>\n"
    "<img src=\"http://127.0.0.1:8931/img/banner.gif\" alt=\"banner\">\n"
    "<p><a href=\"\xE4rger.html\">\xC4rger</a></p>\n"
    "</body></html>\n";

static const char aerger_html[] =
    "<html><head><title>\xC4rger</title></head><body><p>\xC4rger \xFC"
    "ber Gr\xF6\xDF" "e.</p></body></html>\n";

#define EXPIRES "expires=Sat, 01-Jan-2039 00:00:00 GMT"

int main(void)
{
    char user[256];
    FILETIME exp2039 = utc_filetime(2039, 1, 1, 0, 0, 0);
    int failures = 0;

    logon_name(user, sizeof user);
    printf("logon name: %s, ANSI code page: %u\n", user, GetACP());

    failures += !commit_content("http://www.example.com/index.html", "html", "text/html",
                                index_html, sizeof index_html - 1,
                                utc_filetime(2023, 5, 1, 8, 0, 0), exp2039, user);
    failures += !commit_content("http://www.example.com/images/logo.gif", "gif", "image/gif",
                                tiny_gif, sizeof tiny_gif,
                                utc_filetime(2023, 5, 2, 8, 0, 0), exp2039, user);
    failures += !commit_content("http://www.example.com/images/photo.jpg", "jpg", "image/jpeg",
                                tiny_jpeg, sizeof tiny_jpeg,
                                utc_filetime(2023, 5, 3, 8, 0, 0), exp2039, user);
    failures += !commit_content("http://www.example.com/bilder/gr\xF6\xDF" "e.jpg", "jpg",
                                "image/jpeg", tiny_jpeg, sizeof tiny_jpeg,
                                utc_filetime(2023, 5, 4, 8, 0, 0), exp2039, user);
    failures += !commit_content("http://www.example.com/\xE4rger.html", "html", "text/html",
                                aerger_html, sizeof aerger_html - 1,
                                utc_filetime(2023, 5, 5, 8, 0, 0), exp2039, user);

    failures += !set_cookie("http://www.example.com/", "session=abc123; " EXPIRES);
    failures += !set_cookie("http://shop.example.net/cart/view.html",
                            "basket=42; path=/cart; " EXPIRES);
    failures += !set_cookie("http://www.example.com/\xE4/", "lang=de; " EXPIRES);
    failures += !set_cookie("http://www.example.org/\xC4rger/seite.html",
                            "seen=1; path=/\xC4rger; " EXPIRES);

    failures += !commit_visited(user, "http://www.example.com/index.html",
                                utc_filetime(2024, 3, 1, 10, 0, 0), exp2039);
    failures += !commit_visited(user, "http://www.example.com/news/today.html",
                                utc_filetime(2024, 3, 2, 11, 30, 0), exp2039);
    failures += !commit_visited(user, "http://www.example.com/\xE4rger.html",
                                utc_filetime(2024, 3, 3, 12, 45, 0), exp2039);
    failures += !commit_visited(user, "https://shop.example.net/cart/",
                                utc_filetime(2024, 3, 4, 9, 15, 0), exp2039);
    failures += !commit_visited(user, "file:///C:/docs/bericht-\xFC.txt",
                                utc_filetime(2024, 3, 5, 16, 20, 0), exp2039);

    printf("%d failure(s)\n", failures);
    return failures ? 1 : 0;
}
