#include "NetTestUtil.h"

#include <arpa/inet.h>
#include <cstdlib>
#include <string>
#include <dirent.h>
#include <fstream>
#include <netinet/in.h>
#include <sstream>
#include <sys/socket.h>
#include <sys/stat.h>
#include <unistd.h>

void UseShortTimeouts(const char* connectSeconds, const char* totalSeconds)
{
    setenv("NETVANE_CONNECT_TIMEOUT", connectSeconds, 1);
    setenv("NETVANE_TIMEOUT", totalSeconds, 1);
}

static REQUEST_RESULT Keep(CNetvane& net, unsigned int code, char* reply)
{
    REQUEST_RESULT result;
    result.code = code;
    result.hasReply = reply != nullptr;
    if (reply)
        result.text = reply;
    net.ReleaseResponse(&reply);
    return result;
}

REQUEST_RESULT Get(const std::string& url, const char* cookie, bool withHeaders)
{
    CNetvane net;
    char* reply = nullptr;
    unsigned int code = net.DoGet(url.c_str(), &reply, cookie, withHeaders, false);
    return Keep(net, code, reply);
}

REQUEST_RESULT Post(CNetvane& net, const std::string& url, const char* cookie, bool withHeaders)
{
    char* reply = nullptr;
    unsigned int code = net.DoPost(url.c_str(), &reply, cookie, withHeaders, withHeaders);
    return Keep(net, code, reply);
}

static int BoundSocket(int& port)
{
    int fd = socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    sockaddr_in addr{};
    addr.sin_family = AF_INET;
    addr.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    addr.sin_port = 0;
    bind(fd, reinterpret_cast<sockaddr*>(&addr), sizeof(addr));
    socklen_t size = sizeof(addr);
    getsockname(fd, reinterpret_cast<sockaddr*>(&addr), &size);
    port = ntohs(addr.sin_port);
    return fd;
}

CSilentServer::CSilentServer()
{
    m_fd = BoundSocket(m_port);
    // The kernel completes the handshake from the backlog; nobody ever reads or writes.
    listen(m_fd, 16);
}

CSilentServer::~CSilentServer()
{
    if (m_fd >= 0)
        close(m_fd);
}

int FreePort()
{
    int port = 0;
    int fd = BoundSocket(port);
    close(fd);
    return port;
}

std::string EchoField(const std::string& echo, const std::string& name)
{
    std::string key = "\n" + name + "=";
    std::string text = "\n" + echo;
    size_t pos = text.find(key);
    if (pos == std::string::npos)
        return "<missing>";
    pos += key.size();
    size_t end = text.find('\n', pos);
    return text.substr(pos, end == std::string::npos ? std::string::npos : end - pos);
}

std::string ListFolder(const std::string& folder)
{
    std::string names;
    DIR* dir = opendir(folder.c_str());
    if (!dir)
        return "<no folder>";
    while (dirent* entry = readdir(dir))
    {
        std::string name = entry->d_name;
        if (name != "." && name != "..")
            names += name + " ";
    }
    closedir(dir);
    return names;
}

std::string Field(const std::string& reply, const std::string& marker, char stop)
{
    size_t pos = reply.find(marker);
    if (pos == std::string::npos)
        return std::string();
    pos += marker.size();
    size_t end = reply.find(stop, pos);
    return reply.substr(pos, end == std::string::npos ? std::string::npos : end - pos);
}

std::string SetCookieLine(const std::string& reply, const std::string& name)
{
    size_t pos = reply.find("Set-Cookie: " + name + "=");
    if (pos == std::string::npos)
        return std::string();
    return reply.substr(pos, reply.find("\r\n", pos) - pos);
}

REQUEST_RESULT CasSignOn(const std::string& loginUrl, const std::string& user, const std::string& password,
                         std::string& session, std::string& tgt)
{
    REQUEST_RESULT form = Get(loginUrl, nullptr, true);
    session = Field(form.text, "JSESSIONID=", ';');
    CNetvane post;
    post.AddParam("username", user.c_str());
    post.AddParam("password", password.c_str());
    post.AddParam("lt", Field(form.text, "name=\"lt\" value=\"", '"').c_str());
    post.AddParam("execution", Field(form.text, "name=\"execution\" value=\"", '"').c_str());
    post.AddParam("_eventId", "submit");
    post.AddParam("submit", "login");
    std::string cookie = "JSESSIONID=" + session;
    REQUEST_RESULT result = Post(post, loginUrl, cookie.c_str(), true);
    tgt = Field(result.text, "CASTGC=", ';');
    return result;
}

bool MakeTestCertificates(const std::string& dir, const std::string& subjectAltName)
{
    std::string script =
        "cd '" + dir + "' && "
        "openssl req -x509 -newkey ec -pkeyopt ec_paramgen_curve:P-256 -nodes -keyout ca.key -out ca.pem "
        "-days 2 -subj '/CN=Test CA' -addext basicConstraints=critical,CA:TRUE "
        "-addext keyUsage=critical,keyCertSign >/dev/null 2>&1 && "
        "openssl req -newkey ec -pkeyopt ec_paramgen_curve:P-256 -nodes -keyout server.key -out server.csr "
        "-subj '/CN=test server' >/dev/null 2>&1 && "
        "printf 'subjectAltName=" + subjectAltName + "\\n' > san.ext && "
        "openssl x509 -req -in server.csr -CA ca.pem -CAkey ca.key -CAcreateserial -out server.pem -days 2 "
        "-extfile san.ext >/dev/null 2>&1";
    return std::system(script.c_str()) == 0;
}
