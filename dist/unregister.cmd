@echo off
rem Unregisters the Orvane control of this folder. On 64-bit Windows both
rem modules are unregistered, each by the regsvr32 of its own width; on 32-bit
rem Windows the x86 one.
rem   unregister.cmd        for every user (run as an administrator)
rem   unregister.cmd user   the current user's registration only
setlocal
set "here=%~dp0"
set "scope="
if "%~1"=="" goto scope_done
if /i not "%~1"=="user" goto usage
set "scope=/n /i:user"
goto scope_done
:usage
echo usage: unregister.cmd [user]
exit /b 2
:scope_done
rem A 32-bit command prompt sees SysWOW64 as System32; Sysnative is the real one.
set "native=%SystemRoot%\System32"
if exist "%SystemRoot%\Sysnative\regsvr32.exe" set "native=%SystemRoot%\Sysnative"
set failed=0
rem Each result is read on the line after its command: "if errorlevel" is
rem evaluated when it runs, in every cmd.
if exist "%SystemRoot%\SysWOW64\regsvr32.exe" goto both_widths
"%native%\regsvr32.exe" /u /s %scope% "%here%x86\ORVANE.OCX"
if errorlevel 1 set failed=1
goto report
:both_widths
"%SystemRoot%\SysWOW64\regsvr32.exe" /u /s %scope% "%here%x86\ORVANE.OCX"
if errorlevel 1 set failed=1
"%native%\regsvr32.exe" /u /s %scope% "%here%x64\ORVANE.OCX"
if errorlevel 1 set failed=1
:report
if "%failed%"=="1" (
  echo Orvane: unregistration failed. For every user, run as an administrator.
  exit /b 1
)
echo Orvane: unregistered.
exit /b 0
