// A time-stamping authority (RFC 3161) on a free port of 127.0.0.1 for one test: the project's
// tools/tsa_server over `openssl ts -reply`, with a test CA and an authority certificate
// (extendedKeyUsage critical timeStamping) that this class makes with the openssl program in a
// temporary folder. Needs TSA_SERVER_SCRIPT (the script's path) defined by the test.
#pragma once

#include "TempDir.h"
#include "WebServer.h"

#include <gtest/gtest.h>

#include <QProcess>
#include <QStringList>

#include <memory>
#include <string>

class TsaServer {
public:
    TsaServer() {
        if (!MakeCertificates(dir_))
            return;
        server_ = std::make_unique<ScriptServerProcess>(
            "python3", TSA_SERVER_SCRIPT,
            QStringList{"--cert", dir_.qpath("tsa.pem"), "--key", dir_.qpath("tsa.key"), "--chain",
                        dir_.qpath("ca.pem")},
            20000);
    }

    int port() const { return server_ ? server_->port() : 0; }
    // "http://127.0.0.1:PORT/tsr"
    std::string url() const { return "http://127.0.0.1:" + std::to_string(port()) + "/tsr"; }
    // The CA certificate the authority's certificate is signed by (PEM).
    std::string caFile() const { return dir_.path("ca.pem"); }
    // Another CA, which signed nothing of this authority.
    std::string otherCaFile() const { return dir_.path("other-ca.pem"); }

private:
    static bool Openssl(const TempDir& dir, const QStringList& args) {
        QProcess p;
        p.setWorkingDirectory(QString::fromStdString(dir.root()));
        p.setProcessChannelMode(QProcess::MergedChannels);
        p.start("openssl", args);
        if (!p.waitForFinished(30000) || p.exitStatus() != QProcess::NormalExit ||
            p.exitCode() != 0) {
            ADD_FAILURE() << "openssl " << args.join(' ').toStdString() << " failed:\n"
                          << p.readAll().toStdString();
            return false;
        }
        return true;
    }

    static bool MakeCertificates(const TempDir& dir) {
        const QStringList ec = {"-newkey", "ec", "-pkeyopt", "ec_paramgen_curve:prime256v1",
                                "-nodes"};
        const auto ca = [&](const QString& name, const QString& subject) {
            return Openssl(dir, QStringList{"req", "-x509"} + ec +
                                    QStringList{"-keyout", name + ".key", "-out", name + ".pem",
                                                "-days", "2", "-subj", subject, "-addext",
                                                "basicConstraints=critical,CA:TRUE", "-addext",
                                                "keyUsage=critical,keyCertSign,cRLSign"});
        };
        dir.write("tsa-ext.cnf", "basicConstraints=CA:FALSE\n"
                                 "keyUsage=critical,digitalSignature\n"
                                 "extendedKeyUsage=critical,timeStamping\n");
        return ca("ca", "/CN=Quarrylog Test CA") && ca("other-ca", "/CN=Quarrylog Other CA") &&
               Openssl(dir, QStringList{"req"} + ec +
                                QStringList{"-keyout", "tsa.key", "-out", "tsa.csr", "-subj",
                                            "/CN=Quarrylog Test TSA"}) &&
               Openssl(dir, {"x509", "-req", "-in", "tsa.csr", "-CA", "ca.pem", "-CAkey", "ca.key",
                             "-CAcreateserial", "-out", "tsa.pem", "-days", "2", "-extfile",
                             "tsa-ext.cnf"});
    }

    TempDir dir_;
    std::unique_ptr<ScriptServerProcess> server_;
};
