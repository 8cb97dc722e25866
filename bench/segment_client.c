/* One download client for bench/server_load.py: the launcher's request sequence against
 * the download server (the size, then segments of 10, 20, 40, 80, 160, 160, ... million
 * bytes, each followed by its digest), reading every byte and hashing none, so the
 * figures are the server's. With a path instead of a name it fetches that path whole, as
 * the plain reference.
 *   segment_client PORT NAME          prints "bytes N" and each digest on its own line
 *   segment_client PORT /files/NAME   prints "bytes N"
 * Loopback only; each request has its own connection and a 60 s receive time-out. */
#include <arpa/inet.h>
#include <netinet/in.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>
#include <sys/socket.h>
#include <sys/time.h>
#include <unistd.h>

enum { BUFFER = 1 << 18, HEAD = 4096 };

/* Sends "GET path", checks for a 2xx reply and returns the body's length; up to keep - 1
 * bytes of the body land in kept, zero-terminated. -1 on any failure. */
static long long fetch(int port, const char *path, char *kept, size_t keep) {
    int s = socket(AF_INET, SOCK_STREAM, 0);
    if (s < 0) return -1;
    struct timeval timeout = {60, 0};
    setsockopt(s, SOL_SOCKET, SO_RCVTIMEO, &timeout, sizeof timeout);
    struct sockaddr_in to = {0};
    to.sin_family = AF_INET;
    to.sin_port = htons((unsigned short)port);
    to.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    static char buffer[BUFFER];
    int n = snprintf(buffer, sizeof buffer, "GET %s HTTP/1.1\r\nHost: 127.0.0.1\r\nConnection: close\r\n\r\n", path);
    long long body = -1;
    if (connect(s, (struct sockaddr *)&to, sizeof to) == 0 && send(s, buffer, (size_t)n, 0) == n) {
        size_t head = 0;
        char *end = NULL;
        ssize_t got = 0;
        while (end == NULL && head < HEAD && (got = recv(s, buffer + head, HEAD - head, 0)) > 0) {
            head += (size_t)got;
            buffer[head] = '\0';
            end = strstr(buffer, "\r\n\r\n");
        }
        if (end != NULL && strncmp(buffer, "HTTP/1.1 2", 10) == 0) {
            size_t first = head - (size_t)(end + 4 - buffer);
            if (kept != NULL) {
                size_t take = first < keep - 1 ? first : keep - 1;
                memcpy(kept, end + 4, take);
                kept[take] = '\0';
            }
            body = (long long)first;
            while ((got = recv(s, buffer, sizeof buffer, 0)) > 0) body += got;
            if (got < 0) body = -1;  /* timed out or reset */
        }
    }
    close(s);
    return body;
}

int main(int argc, char **argv) {
    if (argc != 3) {
        fprintf(stderr, "usage: segment_client PORT NAME|/files/NAME\n");
        return 2;
    }
    int port = atoi(argv[1]);
    char path[1024], answer[64];
    if (argv[2][0] == '/') {
        long long whole = fetch(port, argv[2], NULL, 0);
        printf("bytes %lld\n", whole);
        return whole < 0;
    }
    snprintf(path, sizeof path, "/getfile.pl?file=%s", argv[2]);
    if (fetch(port, path, answer, sizeof answer) < 0) return 1;
    long long size = atoll(answer), received = 0;
    long long position = 0, length = 10000000;
    while (position * 1000000 < size) {
        snprintf(path, sizeof path, "/getfile.pl?file=%s&mb_pos=%lld&length=%lld", argv[2], position, length);
        long long got = fetch(port, path, NULL, 0);
        size_t plain = strlen(path);
        snprintf(path + plain, sizeof path - plain, "&crc=1");
        if (got < 0 || fetch(port, path, answer, sizeof answer) != 32) return 1;
        received += got;
        printf("%s\n", answer);
        position += length / 1000000;
        length = length < 160000000 ? length * 2 : length;
    }
    printf("bytes %lld\n", received);
    return received != size;
}
